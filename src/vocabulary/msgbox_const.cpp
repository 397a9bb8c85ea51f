// SPDX-License-Identifier: MIT
#include "vocabulary/msgbox_const.h"

namespace MsgBox_Const {

using namespace vocabulary;

namespace {

// The last attribute whose label the cell contains, in list order.
const Attribute* lastContainedAttribute(const QString& cell) {
    const Attribute* found = nullptr;
    for (const Attribute& attribute : kAttributes) {
        if (cell.contains(attribute.label, Qt::CaseInsensitive)) {
            found = &attribute;
        }
    }
    return found;
}

// The code of the first kind whose label the cell contains, else "0".
template <typename Kinds>
QString codeOfContainedLabel(const QString& cell, const Kinds& kinds) {
    for (const Kind& kind : kinds) {
        if (cell.contains(kind.label, Qt::CaseInsensitive)) {
            return kind.code.toString();
        }
    }
    return kNoneCode.toString();
}

// The label of the first kind whose code the value contains, else empty.
template <typename Kinds>
QString labelOfContainedCode(const QString& stored, const Kinds& kinds) {
    for (const Kind& kind : kinds) {
        if (stored.contains(kind.code, Qt::CaseInsensitive)) {
            return kind.label.toString();
        }
    }
    return {};
}

template <typename Items>
QString joined(QStringView first, const Items& items) {
    QString list = first.toString();
    for (const auto& item : items) {
        if (!list.isEmpty()) {
            list += kListSeparator;
        }
        list += item.label;
    }
    return list;
}

}  // namespace

QString getATTRLabel(const QString& code) {
    for (const Attribute& attribute : kAttributes) {
        if (code == attribute.code) {
            return attribute.label.toString();
        }
    }
    return {};
}

QString getONOFF(const QString& code) {
    for (const Kind& ime : {kImeOn, kImeOff}) {
        if (code == ime.code) {
            return ime.label.toString();
        }
    }
    return {};
}

QString getFlagMark(const QString& flag) {
    return flag == kFixedFlag ? kFixedMark.toString() : QString();
}

QString getATTR(const QString& label) {
    const Attribute* attribute = attributeOfLabel(label);
    return attribute ? attribute->code.toString() : QString();
}

const Attribute* attributeOfLabel(QStringView label) {
    for (const Attribute& attribute : kAttributes) {
        if (label == attribute.label) {
            return &attribute;
        }
    }
    return nullptr;
}

QString mailCode(const QString& cell) {
    return codeOfContainedLabel(cell, kMailKinds);
}

QString faxCode(const QString& cell) {
    return codeOfContainedLabel(cell, kFaxKinds);
}

QString imeCode(const QString& cell) {
    return cell.contains(kImeOn.label, Qt::CaseInsensitive) ? kImeOn.code.toString()
                                                            : kImeOff.code.toString();
}

std::optional<QString> attrCode(const QString& cell) {
    if (const Attribute* attribute = lastContainedAttribute(cell)) {
        return attribute->code.toString();
    }
    return std::nullopt;
}

std::optional<QString> columnType(const QString& cell) {
    if (const Attribute* attribute = lastContainedAttribute(cell)) {
        return attribute->columnType.toString();
    }
    return std::nullopt;
}

QString mailLabelOfStored(const QString& stored) {
    return labelOfContainedCode(stored, kMailKinds);
}

QString faxLabelOfStored(const QString& stored) {
    return labelOfContainedCode(stored, kFaxKinds);
}

QString imeLabelOfStored(const QString& stored) {
    return (stored.contains(kImeOn.code, Qt::CaseInsensitive) ? kImeOn.label : kImeOff.label)
        .toString();
}

QString attrLabelOfStored(const QString& stored) {
    QString cell = stored;
    for (const Attribute& attribute : kAttributes) {
        if (cell.contains(attribute.code, Qt::CaseInsensitive)) {
            cell = attribute.label.toString();
        }
    }
    return cell;
}

QString attributeList() {
    return joined(QStringView(), kAttributes);
}

QString imeList() {
    return joined(QStringView(), std::array<Kind, 2>{kImeOn, kImeOff});
}

QString mailList() {
    return joined(kBlankItem, kMailKinds);
}

QString faxList() {
    return joined(kBlankItem, kFaxKinds);
}

}  // namespace MsgBox_Const
