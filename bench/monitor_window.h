// The main window with the table window beside it, shown on the offscreen platform, and a run of
// recorded measurements as long as a benchmark asks for. Main thread only.
#pragma once

#include "app/main.h"
#include "session/session_records.h"
#include "views/chart/chart.h"
#include "views/chart/measurement_store.h"
#include "views/windows/table_view.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>

namespace bench_window {

inline void processEvents(int ms)
{
    QElapsedTimer spent;
    spent.start();
    do
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    while (spent.elapsed() < ms);
}

// The raw words of these values in a range of 0 … 10 bar.
inline TMeasurementStore::Reading reading(double pressure, double temperature)
{
    const auto word = [](double v) { return std::uint16_t(std::clamp<long long>(std::llround(v), 0, 0xFFFF)); };
    return {word(16384 + pressure * 3276.8), word(double(std::llround((temperature + 50) / 0.05) + 24) * 16), 0.0f,
            10.0f, 0x28};
}

// A run's measurement as the session hands it over: the words, and the values and texts the
// device model makes of them.
inline session::Measurement measurement(const QDateTime &time, double pressure, double temperature)
{
    const TMeasurementStore::Reading r = reading(pressure, temperature);
    session::Measurement m;
    m.time = time;
    m.address = r.address;
    m.pressure_raw = r.pu16;
    m.temperature_raw = r.tu16;
    m.range_min = r.range_min;
    m.range_max = r.range_max;
    m.pressure = TMeasurementStore::pressure_of(r);
    m.temperature = TMeasurementStore::temperature_of(r);
    m.pressure_text = QString::number(m.pressure, 'f', 4);
    m.temperature_text = QString::number(m.temperature, 'f', 2);
    m.status = 0x48;
    m.in_run = true;
    return m;
}

// The windows end inside the benchmark run, while the program's own statics still exist for
// the workers to finish with.
struct MonitorWindow {
    QTemporaryDir home;
    std::unique_ptr<Ttable_form> table;
    std::unique_ptr<Tmain_Form> form;
    TChart *chart = nullptr;

    MonitorWindow()
    {
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", home.filePath(QStringLiteral("run")).toLocal8Bit());
        QDir().mkpath(home.filePath(QStringLiteral("run")));
        table = std::make_unique<Ttable_form>();
        form = std::make_unique<Tmain_Form>();
        form->attach_windows({nullptr, nullptr, nullptr, table.get()});
        // Away from the pointer: a window shown under it makes the application create an input
        // device that outlives the application object at exit.
        form->move(300, 300);
        table->move(300, 300);
        form->show();
        table->show();
        chart = form->findChild<TChart *>(QStringLiteral("Chart"));
        // The deferred start-up creates the series.
        QElapsedTimer waited;
        waited.start();
        while (chart && !chart->series(TChart::PressureSeries) && waited.elapsed() < 5000)
            processEvents(20);
    }
    bool ready() const { return chart && chart->series(TChart::PressureSeries); }
    int recorded() const { return chart->point_count(TChart::PressureSeries); }

    // A run of `count` measurements 25 ms apart that ends now, handed over as the session does
    // with its first one: the rest go straight into the store the chart and the table share.
    void record(int count)
    {
        const QDateTime now = QDateTime::currentDateTime();
        form->updateGui_meas(measurement(now, 1.0, 22.0));
        TMeasurementStore &store = *chart->store();
        const std::int64_t last = std::llround(store.key(0) * TMeasurementStore::MillisecondsPerDay);
        const std::int64_t origin = store.msecs(0) - last;
        table->init();
        std::mt19937 random(1);
        std::normal_distribution<double> noise(0.0, 1.0);
        for (int i = 0; i < count; ++i) {
            const double p = 1.0 + 0.01 * noise(random), t = 22.0 + 0.1 * noise(random);
            store.append(origin, last - std::int64_t(count - i) * 25, reading(p, t));
            table->row_recorded();
            if (i % 100000 == 0)
                QCoreApplication::processEvents(); // as the event loop runs between measurements
        }
        chart->points_added();
    }
};

} // namespace bench_window
