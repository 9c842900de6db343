#pragma once
// The national flags beside the language buttons, drawn rather than carried
// as picture files: simple and recognisable is all they need to be.

#include <QPixmap>

enum class Flag { Germany, UnitedKingdom, UnitedStates, France, Spain };

// Germany, France, Spain and the United States at 32 × 32 pixels, the United
// Kingdom at 25 × 15 pixels, as the language window shows them.
QPixmap FlagPicture(Flag flag);
