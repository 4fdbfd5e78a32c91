#include "views/windows/export_progress.h"

#include <QPointer>
#include <QProgressDialog>
#include <memory>

namespace export_progress {

std::function<bool(qint64 done, qint64 total)> dialog(QWidget *parent)
{
    // One dialog per export, made at its first chunk and dropped at its end.
    auto shown = std::make_shared<std::unique_ptr<QProgressDialog>>();
    QPointer<QWidget> owner(parent);
    return [shown, owner](qint64 done, qint64 total) {
        std::unique_ptr<QProgressDialog> &d = *shown;
        if (done >= total) {
            d.reset();
            return true;
        }
        if (total < LargeTable)
            return true;
        if (!d) {
            d = std::make_unique<QProgressDialog>(owner);
            d->setWindowModality(Qt::ApplicationModal);
            d->setRange(0, 1000);
            d->setMinimumDuration(300);
            d->setAutoReset(false);
            d->setAutoClose(false);
        }
        // A modal dialog lets the other events through here.
        d->setValue(int(done * 1000 / total));
        if (!d->wasCanceled())
            return true;
        d.reset();
        return false;
    };
}

} // namespace export_progress
