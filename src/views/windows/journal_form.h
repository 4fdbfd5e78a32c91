// The re-addressing journal as a read-only table, newest attempt first, from which a saved
// before-image can be written back. Main thread only.
#pragma once

#include <QWidget>

class QPushButton;
class QTableWidget;

class Tjournal_form : public QWidget
{
    Q_OBJECT
public:
    // `folder` holds the journal file and its images.
    explicit Tjournal_form(const QString &folder, QWidget *parent = nullptr);

    // Reads the journal again; the texts follow the current language.
    void reload();
    // Title, button and column headers in the current language; on making, on each reload and
    // after a change of language.
    void translateCaptions();
    QTableWidget *table() const { return fTable; }

signals:
    // The user wants the before-image of the selected line written back.
    void restore_requested(const QString &imageFile);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void selection_changed();
    QString selected_image() const;

    QString fFolder;
    QTableWidget *fTable = nullptr;
    QPushButton *fRestore = nullptr;
};
