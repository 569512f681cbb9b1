// vlGridCommon.h - what every part of the grid shares: its cursors, the
// mouse state of a cell and small layout helpers.
#pragma once
#include <cassert>
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

// The object a class getter made, as the class its holder keeps: a getter
// that returns a foreign class is a programming error (nullptr in release
// builds).
template <class T, class B>
std::unique_ptr<T> vlGridDowncast(std::unique_ptr<B> AObject)
{
    T* object = dynamic_cast<T*>(AObject.get());
    assert(object != nullptr && "a class getter returned an object of a foreign class");
    if (object == nullptr)
        return nullptr;
    AObject.release();
    return std::unique_ptr<T>(object);
}

void AddvlGridCommonUnit(TStartupList& AList);
