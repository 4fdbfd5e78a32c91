#pragma once
// Label makers of the monitor chart's axes. User-interface thread only.
#include <functional>
#include <qcustomplot.h>

// Value axis: labels in the axis's format, passed through a hook; a smallest label step.
class TValueTicker : public QCPAxisTicker
{
public:
    using Hook = std::function<QString(const QString &label)>;

    void set_format(const QString &format) { fFormat = format; }
    const QString &format() const { return fFormat; }
    // 0 lets the ticker choose.
    void set_increment(double increment) { fIncrement = increment; }
    double increment() const { return fIncrement; }
    void set_max_labels(int count) { fMaxLabels = count; }
    int max_labels() const { return fMaxLabels; }
    void set_hook(Hook hook) { fHook = std::move(hook); }

protected:
    double getTickStep(const QCPRange &range) override;
    QString getTickLabel(double tick, const QLocale &locale, QChar formatChar, int precision) override;

private:
    QString fFormat = QStringLiteral("###0.###");
    double fIncrement = 0.0;
    int fMaxLabels = 10;
    Hook fHook;
};

// Elapsed-time axis in days: readable time steps, labels "hh:mm:ss.zzz".
class TTimeTicker : public QCPAxisTicker
{
public:
    void set_max_labels(int count) { fMaxLabels = count; }
    int max_labels() const { return fMaxLabels; }

protected:
    double getTickStep(const QCPRange &range) override;
    int getSubTickCount(double tickStep) override;
    QString getTickLabel(double tick, const QLocale &locale, QChar formatChar, int precision) override;

private:
    int fMaxLabels = 6;
};
