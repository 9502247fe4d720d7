#pragma once

#include "ChartIndexPath.h"

class ChartDropDownMenu;

// Told of each choice made in the filter menu.
class ChartDropDownMenuDelegate {
public:
    virtual ~ChartDropDownMenuDelegate() = default;
    virtual void menuDidSelectRowAtIndexPath(ChartDropDownMenu *menu,
                                             const ChartIndexPath &indexPath) = 0;
};
