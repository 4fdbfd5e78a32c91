// The re-addressing workflow: the user's pick, the hand-over of the adapter and the procedure
// that gives the transmitter a new slave address.
#include "app/main.h"

#include "session/adapter_handover.h"
#include "app/main_parts.h"
#include "app/new_address_group.h"
#include "app/readdress_journal_flow.h"
#include "app/readdress_run.h"
#include "ui_main.h"

#include <optional>

void Tmain_Form::new_slaveaddr_comboSelect(int index)
{
    fParts->f_new_address->pick(index);
}

void Tmain_Form::change_address_ActionExecute()
{
    if (fParts->scan_running())
        fScan->Stop();
    if (fParts->meas_running())
        fMeas->Stop();
    fParts->f_handover->arm(re_address_Timer);
}

void Tmain_Form::re_address_TimerTimer()
{
    // Every worker sets the flag at its end; before the first one nobody held the adapter.
    if (fParts->f_handover->closing() || fParts->worker_exists())
        return;
    re_address_Timer.stop();
    if (const std::optional<T_DeviceMemory> saved = fParts->f_journal->take_restore_image())
        fParts->f_readdress_run->restore(*saved);
    else
        readdress_device();
}

void Tmain_Form::readdress_device()
{
    if (fParts->f_readdress_run->readdress(fParts->f_new_address->target()))
        fParts->f_new_address->forget_pick();
}
