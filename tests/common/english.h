#pragma once
// Tests that run in English compare the catalogue's English texts.

#include "texts/catalogue.h"

inline QString En(TextNumber id)
{
    return CatalogueText(id, 1000);
}
inline QString En(int id)
{
    return En(TextNumber(id));
}
