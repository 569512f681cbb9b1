// vlGridCommon.h - what every part of the grid shares: its cursors, the
// mouse state of a cell and small layout helpers.
#pragma once
#include <memory>

#include "platform/controls/Controls.h"
#include "ui/foundation/vlControls.h"
#include "ui/foundation/vlLookAndFeelPainters.h"

class TStartupList;

// The mouse state of a cell that tracks the pointer.
enum TvlGridCellMouseState { gcmsNormal, gcmsHot, gcmsPressed };

// Set at the unit's start; the select-row cursor is the grid's own.
extern TCursor crGridColumnSizing;
extern TCursor crGridRowSizing;
extern TCursor crGridItemRemove;
extern TCursor crGridNoDrop;
extern TCursor crGridRecordDrag;
extern TCursor crGridRecordsDrag;
constexpr TCursor crGridSelectRow = 4007;

TvlButtonState GridCellStateToButtonState(TvlGridCellMouseState ACellState);
// The text margins of a cell.
void AddTextMargins(int& Value);

// A class reference of the grid: a function that makes an object of one
// class, so that descendants substitute their own classes through getters.
template <class Base, class... Args>
using TvlGridClass = std::unique_ptr<Base> (*)(Args...);

template <class T, class Base, class... Args>
std::unique_ptr<Base> vlGridCreate(Args... AArgs)
{
    return std::make_unique<T>(AArgs...);
}

void AddvlGridCommonUnit(TStartupList& AList);
