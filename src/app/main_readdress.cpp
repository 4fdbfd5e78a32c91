// The re-addressing workflow: the user's pick, the hand-over of the adapter and the procedure
// that gives the transmitter a new slave address.
#include "main.h"

#include "adapter_handover.h"
#include "main_parts.h"
#include "new_address_group.h"
#include "readdress_journal_flow.h"
#include "readdress_run.h"
#include "ui_main.h"

#include <optional>

void Tmain_Form::new_slaveaddr_comboSelect(int index)
{
    d->f_new_address->pick(index);
}

void Tmain_Form::change_address_ActionExecute()
{
    if (d->scan_running())
        fScan->Stop();
    if (d->meas_running())
        fMeas->Stop();
    d->f_handover->arm(re_address_Timer);
}

void Tmain_Form::re_address_TimerTimer()
{
    // Every worker sets the flag at its end; before the first one nobody held the adapter.
    if (d->f_handover->closing() || d->worker_exists())
        return;
    re_address_Timer.stop();
    if (const std::optional<T_DeviceMemory> saved = d->f_journal->take_restore_image())
        d->f_readdress_run->restore(*saved);
    else
        readdress_device();
}

void Tmain_Form::readdress_device()
{
    if (d->f_readdress_run->readdress(d->f_new_address->target()))
        d->f_new_address->forget_pick();
}
