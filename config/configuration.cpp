#include "config/configuration.h"

quint16 Configuration::ListCount(int list) const
{
    switch (list) {
    case 1: return ListCount1;
    case 2: return ListCount2;
    case 3: return ListCount3;
    case 4: return ListCount4;
    default: return 0;
    }
}

void Configuration::SetListCount(int list, quint16 count)
{
    switch (list) {
    case 1: ListCount1 = count; break;
    case 2: ListCount2 = count; break;
    case 3: ListCount3 = count; break;
    case 4: ListCount4 = count; break;
    default: break;
    }
}
