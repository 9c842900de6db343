#pragma once
// Tests that run in English compare the catalogue's English texts.

#include "texts/catalogue.h"

inline QString En(int id)
{
    return CatalogueText(TextNumber(id), 1000);
}
