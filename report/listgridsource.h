#pragma once
// The list grids as the reports read them: grid 1..4 (Mgd1..Mgd4) through
// the Grid interface, nullptr for any other number. The editor's grid panel
// offers it.

class Grid;

class ListGridSource {
public:
    virtual ~ListGridSource() = default;
    virtual const Grid* ListGrid(int list) const = 0;
};
