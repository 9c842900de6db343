#pragma once
// The texts the terminal sequences and the port messages show.

#include "config/configfiles.h"
#include "config/programstate.h"
#include "texts/textids.h"

#include <QString>

// The text of an ID in the current language: the text table entry as the
// window last loaded it, or the catalogue's when the table lacks it.
QString SequenceText(const ProgramState& program, TextNumber id);

// Why the block cannot be sent to the terminal (the first slot outside
// 0..255, which would go out cut to 8 bits), or nothing.
QString UnsendableImageText(const ProgramState& program, const ConfigBlock& block);
