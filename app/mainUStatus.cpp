// The job list's status column: which icon each status value shows. This
// unit does not include mainU.h (see configureStatusColumn there).
#include "platform/graphics/ImgList.h"
#include "ui/editors/vlImageComboBox.h"

void configureStatusColumn(TvlCustomEditProperties* AProperties, TImageList* AImages)
{
    auto* combo = static_cast<TvlImageComboBoxProperties*>(AProperties);
    combo->SetImages(AImages);
    combo->SetReadOnly(true);
    combo->SetShowDescriptions(false);
    combo->SetImmediateDropDown(false);
    combo->SetPopupAlignment(taCenter);
    combo->Alignment()->SetHorz(taCenter);
    for (int i = 0; i < 4; ++i) {
        TvlImageComboBoxItem* item = combo->Items()->Add();
        item->SetImageIndex(i);
        item->SetValue(Variant(String::number(i)));
    }
}
