// vlData.h - the concrete data controller the grid's views derive theirs from.
#pragma once
#include "ui/data/vlCustomData.h"

class TvlDataController : public TvlCustomDataController {
public:
    explicit TvlDataController(IvlDataControllerOwner* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlDataController"); }
};
