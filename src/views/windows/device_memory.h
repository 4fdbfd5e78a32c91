#pragma once
// The memory map window: a memory image as a table of its 24 registers, the read-back image beside
// it and the memory status the chip reports. Closing it only hides it. Its words follow the
// current language; the copy keeps the English headers of a memory image file.
// User-interface thread only.
#include <QWidget>
#include <memory>

class T_DeviceMemory;
struct T_Memory_Status;

namespace Ui {
class Tmemory_Form;
}

class Tmemory_Form : public QWidget
{
    Q_OBJECT

public:
    explicit Tmemory_Form(QWidget *parent = nullptr);
    ~Tmemory_Form() override;

    // Clears the register rows, then shows names, addresses and values of the image.
    void Setmemory(const T_DeviceMemory &image);
    // Fills only the "Verify" column.
    void Setverify_memory(const T_DeviceMemory &image);
    void Setstatus(const T_Memory_Status &status);
    // Empties every register row and numbers it again.
    void clean_grid();
    // Title, status captions and the column headers in the current language; when made and
    // after a change of language.
    void translateCaptions();

    // Grid coordinates: row 0 and column 0 are the header cells.
    QString cell_text(int row, int column) const;
    int column_width(int column) const;
    // The whole grid as tab-separated lines, as the double click on the panel copies it.
    QString grid_text() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Panel1DblClick();

    std::unique_ptr<Ui::Tmemory_Form> ui;
    bool f_placed = false;
    bool f_headers_shown = false; // written by the first image
};
