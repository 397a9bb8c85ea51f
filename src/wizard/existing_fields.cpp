#include "wizard/existing_fields.h"

#include <QColor>

#include "controls/flex_grid.h"
#include "jet/connection.h"
#include "productdb/schema.h"
#include "wizard/grid_columns.h"
#include "wizard/texts.h"

namespace wizard {

namespace {

bool has(const QString& cell, QStringView what) {
    return cell.contains(what, Qt::CaseInsensitive);
}

// The stored codes of one loaded row, turned into the grid's labels.
void labelRow(controls::FlexGrid& fg1, int r) {
    const QString mail = fg1.textMatrix(r, kColMail);
    fg1.setTextMatrix(r, kColMail,
                      has(mail, kMailCodePc)       ? kMailLabelPc.toString()
                      : has(mail, kMailCodeMobile) ? kMailLabelMobile.toString()
                                                   : QString());
    const QString fax = fg1.textMatrix(r, kColFax);
    fg1.setTextMatrix(r, kColFax,
                      has(fax, kFaxCodeOffice)    ? kFaxLabelOffice.toString()
                      : has(fax, kFaxCodePrivate) ? kFaxLabelPrivate.toString()
                                                  : QString());
    const QString ime = fg1.textMatrix(r, kColIme);
    fg1.setTextMatrix(r, kColIme, (has(ime, kImeCodeOn) ? kImeLabelOn : kImeLabelOff).toString());

    // Each test sees the cell as the one before left it.
    static constexpr std::pair<QStringView, QStringView> kAttr[] = {
        {kAttrCodeText, kAttrLabelText},
        {kAttrCodeNumber, kAttrLabelNumber},
        {kAttrCodeDate, kAttrLabelDate},
        {kAttrCodeYesNo, kAttrLabelYesNo},
        {kAttrCodeMemo, kAttrLabelMemo}};
    for (const auto& [code, label] : kAttr) {
        if (has(fg1.textMatrix(r, kColAttr), code)) {
            fg1.setTextMatrix(r, kColAttr, label.toString());
        }
    }
    fg1.setTextMatrix(r, kColExisting, QStringLiteral("1"));
}

}  // namespace

void loadExistingDB(controls::FlexGrid& fg1, const QString& productConnectionString) {
    jet::Connection db;
    db.open(productConnectionString.toStdString());

    const auto count = db.execute(productdb::kCountFields).field(0).toInt().value_or(0);
    if (count == 0) {
        return;
    }
    const int n = static_cast<int>(count);
    auto rs = db.execute(productdb::kSelectAllFields);
    // FIELD_ID, FIELD_NAME, ATTR, FIELD_SIZE, IME, MAIL_ADDRESS_FLG, FAX_NO_FLG, DISP_SEQNO
    constexpr int kStoredColumns = 8;
    for (int i = 1; i <= n; ++i) {
        fg1.setRows(i + 1);
        for (int c = 0; c < kStoredColumns && c < rs.fieldCount(); ++c) {
            const jet::Value v = rs.field(c);
            if (!v.isNull()) {
                fg1.setTextMatrix(i, c + 1, QString::fromStdString(v.toString()));
            }
        }
        fg1.setTextMatrix(i, kColNumber, QString::number(fg1.rows() - 1));
        rs.moveNext();
    }
    for (int i = 1; i <= n; ++i) {
        labelRow(fg1, i);
    }
    fg1.setCellBackground(1, kColFieldId, n, kColReadOnly, kExistingRowColor);
    db.close();
}

}  // namespace wizard
