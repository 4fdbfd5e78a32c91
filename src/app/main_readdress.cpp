// The re-addressing workflow: the user's pick and the request that the session runs once the
// adapter is free.
#include "app/main.h"

#include "app/new_address_group.h"
#include "session/session.h"
#include "ui_main.h"

#include <optional>

void Tmain_Form::new_slaveaddr_comboSelect(int index)
{
    f_new_address->pick(index);
}

void Tmain_Form::change_address_ActionExecute()
{
    readdress_device();
}

void Tmain_Form::readdress_device()
{
    const std::optional<T_SlaveAddr> target = f_new_address->target();
    fSession->request_readdress(target ? target->Get_int_Addr() : -1);
}
