// The main window as the program makes it, started on its own as a process: once the scan has
// read the transmitter it starts a run at the fastest pace and prints each of the run's
// measurements (milliseconds since the epoch, raw pressure, raw temperature), until it is killed.
// A test kills it in the middle of the run.
#include "app/main.h"
#include "session/session.h"
#include "views/windows/table_view.h"

#include <QApplication>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    auto table = std::make_unique<Ttable_form>();
    auto form = std::make_unique<Tmain_Form>();
    form->attach_windows({nullptr, nullptr, nullptr, table.get()});
    form->show();

    QObject::connect(&form->session(), &TSession::published, &app, [](const session::Record &record) {
        if (const auto *m = std::get_if<session::Measurement>(&record); m && m->in_run) {
            std::printf("%lld\t%u\t%u\n", static_cast<long long>(m->time.toMSecsSinceEpoch()), unsigned(m->pressure_raw),
                        unsigned(m->temperature_raw));
            std::fflush(stdout);
        }
    });
    QTimer start;
    QObject::connect(&start, &QTimer::timeout, &app, [&] {
        auto *button = form->findChild<QPushButton *>(QStringLiteral("start_btn"));
        auto *slider = form->findChild<QSlider *>(QStringLiteral("TrackBar1"));
        if (!button || !slider || !button->isEnabled() || button->isHidden())
            return;
        slider->setValue(slider->minimum());
        button->click();
        start.stop();
    });
    start.start(50);
    QTimer::singleShot(120000, &app, &QApplication::quit); // a test that forgot it
    const int status = app.exec();
    form.reset();
    return status;
}
