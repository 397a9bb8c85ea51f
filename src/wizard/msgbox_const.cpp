#include "wizard/msgbox_const.h"

namespace MsgBox_Const {

namespace {

// The last attribute whose label the cell contains, in list order.
const AttributeKind* lastContainedAttribute(const QString& cell) {
    const AttributeKind* found = nullptr;
    for (const AttributeKind& kind : kAttributeKinds) {
        if (cell.contains(kind.label, Qt::CaseInsensitive))
            found = &kind;
    }
    return found;
}

}  // namespace

QString getATTRLabel(const QString& code) {
    for (const AttributeKind& kind : kAttributeKinds) {
        if (code == kind.code)
            return kind.label.toString();
    }
    return {};
}

QString getONOFF(const QString& code) {
    if (code == wizard::kImeCodeOn)
        return wizard::kImeLabelOn.toString();
    if (code == wizard::kImeCodeOff)
        return wizard::kImeLabelOff.toString();
    return {};
}

QString getFlagMark(const QString& flag) {
    if (flag == wizard::kFixedFlag)
        return wizard::kFixedMark.toString();
    return {};
}

QString mailCode(const QString& cell) {
    if (cell.contains(wizard::kMailLabelPc, Qt::CaseInsensitive))
        return wizard::kMailCodePc.toString();
    if (cell.contains(wizard::kMailLabelMobile, Qt::CaseInsensitive))
        return wizard::kMailCodeMobile.toString();
    return wizard::kMailCodeNone.toString();
}

QString faxCode(const QString& cell) {
    if (cell.contains(wizard::kFaxLabelOffice, Qt::CaseInsensitive))
        return wizard::kFaxCodeOffice.toString();
    if (cell.contains(wizard::kFaxLabelPrivate, Qt::CaseInsensitive))
        return wizard::kFaxCodePrivate.toString();
    return wizard::kFaxCodeNone.toString();
}

QString imeCode(const QString& cell) {
    if (cell.contains(wizard::kImeLabelOn, Qt::CaseInsensitive))
        return wizard::kImeCodeOn.toString();
    return wizard::kImeCodeOff.toString();
}

std::optional<QString> attrCode(const QString& cell) {
    if (const AttributeKind* kind = lastContainedAttribute(cell))
        return kind->code.toString();
    return std::nullopt;
}

std::optional<QString> columnType(const QString& cell) {
    if (const AttributeKind* kind = lastContainedAttribute(cell))
        return kind->columnType.toString();
    return std::nullopt;
}

}  // namespace MsgBox_Const
