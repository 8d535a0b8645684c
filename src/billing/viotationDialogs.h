#pragma once

namespace korvex::widgets {
class TxPrompt;
}

namespace korvex::billing {

class TboRentViotation;
struct TViotationRecord;
struct TViotationFilter;

// The windows the violation operations open, supplied by the window layer
// (TViotationWindows). The defaults answer "cancelled".
class TViotationDialogs
{
public:
    virtual ~TViotationDialogs();

    // Questions and messages of the operations.
    virtual korvex::widgets::TxPrompt &prompt() = 0;
    // "Нарушение" on a new or stored violation; it stores the record through
    // bo.writeViotation(). True when at least one was stored, savedKey the last.
    virtual bool viotationDialog(TboRentViotation &bo, TViotationRecord &record, bool isNew, int &savedKey);
    // "Фильтрация нарушений": true on "Ок" with the filter as edited.
    virtual bool viotationFilterDialog(TboRentViotation &bo, TViotationFilter &filter);
};

} // namespace korvex::billing
