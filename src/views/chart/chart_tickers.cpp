#include "views/chart/chart_tickers.h"

#include "services/utils/ZUtils.h"
#include "views/chart/chart_axes.h"
#include "views/chart/chart_time.h"

double TValueTicker::getTickStep(const QCPRange &range)
{
    const double step = chart_axes::label_step(fIncrement, range.size(), fMaxLabels);
    return step > 0.0 ? step : QCPAxisTicker::getTickStep(range);
}

QString TValueTicker::getTickLabel(double tick, const QLocale &, QChar, int)
{
    const QString label = chart_axes::format_value(tick, fFormat, ZString::LocaleDecimalSeparator());
    return fHook ? fHook(label) : label;
}

double TTimeTicker::getTickStep(const QCPRange &range)
{
    return chart_time::label_step(range.size(), fMaxLabels);
}

int TTimeTicker::getSubTickCount(double)
{
    return 1;
}

QString TTimeTicker::getTickLabel(double tick, const QLocale &, QChar, int)
{
    return chart_time::elapsed_label(tick);
}
