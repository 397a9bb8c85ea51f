#include "productdb/create_checks.h"

#include "controls/flex_grid.h"
#include "controls/msg_box.h"
#include "jet/placeholders.h"
#include "productdb/texts.h"
#include "wizard/grid_columns.h"
#include "wizard/texts.h"

namespace productdb {

namespace {

void warn(QStringView text, std::initializer_list<int> values = {}) {
    std::string msg = text.toString().toStdString();
    if (values.size() == 1) {
        msg = jet::fill(msg, {std::to_string(*values.begin())});
    } else if (values.size() == 2) {
        msg = jet::fill(msg,
                        {std::to_string(*values.begin()), std::to_string(*(values.begin() + 1))});
    }
    controls::MsgBox(QString::fromStdString(msg), controls::vbExclamation,
                     wizard::kMsgBoxTitle.toString());
}

bool hasAnyId(const controls::FlexGrid& fg1, const QStringView (&ids)[3]) {
    for (int r = 0; r < fg1.rows(); ++r) {
        const QString id = fg1.textMatrix(r, wizard::kColFieldId);
        for (QStringView candidate : ids) {
            if (id == candidate) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

bool checkHasFields(const controls::FlexGrid& fg1) {
    if (fg1.rows() <= 1) {
        warn(kMsgNoFields);
        return false;
    }
    return true;
}

CheckOutcome checkGrid(const controls::FlexGrid& fg1) {
    using namespace wizard;
    const int rows = fg1.rows();
    for (int r = 0; r < rows; ++r) {
        if (fg1.textMatrix(r, kColFieldName).isEmpty() ||
            fg1.textMatrix(r, kColFieldId).isEmpty()) {
            warn(kMsgIdAndNameRequired, {r});
            return CheckOutcome::kRefused;
        }
        if (fg1.textMatrix(r, kColSize).isEmpty() &&
            fg1.textMatrix(r, kColAttr) == kAttrLabelText) {
            warn(kMsgSizeRequired, {r});
            return CheckOutcome::kRefused;
        }
    }
    for (int i = 0; i < rows; ++i) {
        const QString name = fg1.textMatrix(i, kColFieldName).toUpper();
        const QString id = fg1.textMatrix(i, kColFieldId).toUpper();
        for (int j = i + 1; j < rows; ++j) {
            if (name == fg1.textMatrix(j, kColFieldName).toUpper() ||
                id == fg1.textMatrix(j, kColFieldId).toUpper()) {
                warn(kMsgDuplicate, {i, j});
                return CheckOutcome::kRefused;
            }
        }
    }
    if (!hasAnyId(fg1, kMailFieldIds)) {
        if (controls::MsgBox(kMsgNoMailField.toString(), controls::vbOKCancel,
                             kMsgBoxTitle.toString()) == controls::vbCancel) {
            return CheckOutcome::kCancelled;
        }
    }
    return CheckOutcome::kPassed;
}

}  // namespace productdb
