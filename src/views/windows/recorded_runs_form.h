// The list of recorded runs, newest first, from which one is opened into the chart and the
// table or deleted. It only shows and asks; its owner reads the file. Main thread only.
#pragma once

#include "services/recording/run_database.h"

#include <QWidget>
#include <cstdint>
#include <memory>

namespace Ui {
class Trecorded_runs_form;
}

class Trecorded_runs_form : public QWidget
{
    Q_OBJECT
public:
    explicit Trecorded_runs_form(QWidget *parent = nullptr);
    ~Trecorded_runs_form() override;

    // `running`: the run being recorded now (-1: none), which cannot be deleted; `error`: why
    // the file could not be read, shown instead of the runs.
    void show_runs(const QList<run_database::Run> &runs, std::int64_t running, const QString &error = {});
    // A run is being opened: no second one meanwhile.
    void set_busy(bool busy);
    const QList<run_database::Run> &runs() const { return fRuns; }
    // The selected run's place in runs(); -1 for none.
    int selected() const;
    void select(int index);
    void translateCaptions();

signals:
    void open_requested(const run_database::Run &run);
    void delete_requested(const run_database::Run &run);
    // Shown again: the owner reads the file afresh.
    void reload_requested();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void update_buttons();

    std::unique_ptr<Ui::Trecorded_runs_form> ui;
    QList<run_database::Run> fRuns;
    std::int64_t fRunning = -1;
    bool fBusy = false;
    bool fPlaced = false;
};
