#include "OrvelHandler.h"

QString T_SlaveAddr::hex_text(int32_t addr)
{
    return QStringLiteral("0x") + QString::number(uint32_t(addr), 16).toUpper().rightJustified(2, u'0');
}

void T_SlaveAddr::Set_int_Addr(int32_t v)
{
    f_int_Addr = v;
    f_hex_addr = hex_text(v);
}
