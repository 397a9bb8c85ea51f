#include "wizard/create_checks.h"

#include <algorithm>

#include "controls/flex_grid_model.h"
#include "productdb/texts.h"
#include "vocabulary/msgbox_const.h"
#include "wizard/grid_columns.h"
#include "wizard/texts.h"

namespace wizard {

namespace {

using controls::Message;
using Outcome = CreateCheck::Outcome;

constexpr int kWarning = controls::vbExclamation;

Message warning(QStringView text, QStringList values = {}) {
    return {text.toString(), kWarning, std::move(values)};
}

bool hasMailField(const controls::FlexGridModel& fg1) {
    for (int r = 0; r < fg1.gridRows(); ++r) {
        const QString id = fg1.text(r, kColFieldId);
        if (std::find(std::begin(kMailFieldIds), std::end(kMailFieldIds), id) !=
            std::end(kMailFieldIds)) {
            return true;
        }
    }
    return false;
}

}  // namespace

CreateCheck checkCreate(const controls::FlexGridModel& fg1) {
    const int rows = fg1.gridRows();
    if (rows <= 1) {
        return {Outcome::kNoFields, warning(kMsgNoFields)};
    }
    for (int r = 0; r < rows; ++r) {
        if (fg1.text(r, kColFieldName).isEmpty() || fg1.text(r, kColFieldId).isEmpty()) {
            return {Outcome::kRefused, warning(kMsgIdAndNameRequired, {QString::number(r)})};
        }
        // The exact label, not the builder's "contains".
        const vocabulary::Attribute* attribute =
            MsgBox_Const::attributeOfLabel(fg1.text(r, kColAttr));
        if (fg1.text(r, kColSize).isEmpty() && attribute && attribute->takesSize) {
            return {Outcome::kRefused, warning(kMsgSizeRequired, {QString::number(r)})};
        }
    }
    for (int i = 0; i < rows; ++i) {
        const QString name = fg1.text(i, kColFieldName).toUpper();
        const QString id = fg1.text(i, kColFieldId).toUpper();
        for (int j = i + 1; j < rows; ++j) {
            if (name == fg1.text(j, kColFieldName).toUpper() ||
                id == fg1.text(j, kColFieldId).toUpper()) {
                return {Outcome::kRefused,
                        warning(kMsgDuplicate, {QString::number(i), QString::number(j)})};
            }
        }
    }
    if (!hasMailField(fg1)) {
        return {Outcome::kAskMail, Message{kMsgNoMailField.toString(), controls::vbOKCancel}};
    }
    return {Outcome::kPassed, {}};
}

std::vector<productdb::NewField> newFields(const controls::FlexGridModel& fg1) {
    std::vector<productdb::NewField> fields;
    fields.reserve(static_cast<std::size_t>(std::max(fg1.gridRows() - 1, 0)));
    for (int r = 1; r < fg1.gridRows(); ++r) {
        fields.push_back({fg1.text(r, kColFieldId), fg1.text(r, kColFieldName),
                          fg1.text(r, kColAttr), fg1.text(r, kColSize), fg1.text(r, kColIme),
                          fg1.text(r, kColMail), fg1.text(r, kColFax),
                          !fg1.text(r, kColExisting).isEmpty()});
    }
    return fields;
}

std::vector<Message> buildMessages(const productdb::BuildResult& result) {
    if (result.built) {
        return {};
    }
    std::vector<Message> messages;
    if (result.curFieldID.isEmpty()) {
        messages.push_back(warning(productdb::kMsgBuildAborted));
    } else {
        messages.push_back(
            warning(productdb::kMsgFieldIdWrong, {QString::number(result.row), result.curFieldID}));
    }
    if (result.cleanupFailed) {
        messages.push_back(warning(kMsgCreateFailed));
    }
    return messages;
}

}  // namespace wizard
