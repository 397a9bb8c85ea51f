// SPDX-License-Identifier: MIT
#include "templates/store.h"

#include "jet/placeholders.h"
#include "templates/statements.h"

namespace templates {

namespace {

std::string s(const QString& value) {
    return value.toStdString();
}

QString text(const jet::Recordset& rs, std::string_view column) {
    return QString::fromStdString(rs.field(column).toString());
}

}  // namespace

TemplateEntry entryAt(const jet::Recordset& rs) {
    return {text(rs, "FIELD_NO"),   text(rs, "P_FIELD_NO"), text(rs, "KIND"),
            text(rs, "FIELD_ID"),   text(rs, "FIELD_NAME"), text(rs, "ATTR"),
            text(rs, "FIELD_SIZE"), text(rs, "SORTBY"),     text(rs, "IME"),
            text(rs, "DIS_ALT_FLG")};
}

jet::Recordset TemplateStore::run(const std::string& statement) {
    return m_connection.execute(statement);
}

jet::Recordset TemplateStore::selectFolders() {
    return m_connection.execute(kSelectFolders);
}

jet::Recordset TemplateStore::selectFields() {
    return m_connection.execute(kSelectFields);
}

jet::Recordset TemplateStore::selectEntry(const QString& entry) {
    return run(jet::fill(kSelectEntry, {s(entry)}));
}

jet::Recordset TemplateStore::selectFieldNumbers() {
    return m_connection.execute(kSelectFieldNumbers);
}

jet::Recordset TemplateStore::selectChildren(const QString& parent) {
    return run(jet::fill(kSelectChildren, {s(parent)}));
}

jet::Recordset TemplateStore::selectChildrenWithFixedMark(const QString& parent) {
    return run(jet::fill(kSelectChildrenWithFixedMark, {s(parent)}));
}

jet::Recordset TemplateStore::selectMaxFieldNo() {
    return m_connection.execute(kSelectMaxFieldNo);
}

QString TemplateStore::insertedNumber() {
    return QString::fromStdString(selectMaxFieldNo().field(0).toString());
}

jet::Recordset TemplateStore::selectFieldIdsAndNames() {
    return m_connection.execute(kSelectFieldIdsAndNames);
}

jet::Recordset TemplateStore::selectPositions(const QString& parent) {
    return run(templates::selectPositions(s(parent)));
}

jet::Recordset TemplateStore::selectPosition(const QString& entry) {
    return run(templates::selectPosition(s(entry)));
}

void TemplateStore::insertField(const QString& parent, const QString& fieldId, const QString& name,
                                const QString& attr, const QString& size, const QString& position,
                                const QString& ime) {
    run(templates::insertField(s(parent), s(fieldId), s(name), s(attr), s(size), s(position),
                               s(ime)));
}

void TemplateStore::updateField(const QString& fieldId, const QString& name, const QString& attr,
                                const QString& size, const QString& ime, const QString& entry) {
    run(templates::updateField(s(fieldId), s(name), s(attr), s(size), s(ime), s(entry)));
}

void TemplateStore::insertFolder(const QString& parent, const QString& name) {
    run(templates::insertFolder(s(parent), s(name)));
}

void TemplateStore::updateFolderName(const QString& name, const QString& entry) {
    run(jet::fill(kUpdateFolderName, {s(name), s(entry)}));
}

void TemplateStore::rename(const QString& name, const QString& entry) {
    run(templates::rename(s(name), s(entry)));
}

void TemplateStore::deleteEntry(const QString& entry) {
    run(jet::fill(kDeleteEntry, {s(entry)}));
}

void TemplateStore::shiftPositions(const QString& parent, const QString& position) {
    run(templates::shiftPositions(s(parent), s(position)));
}

void TemplateStore::setPosition(const QString& position, const QString& entry) {
    run(templates::setPosition(s(position), s(entry)));
}

void TemplateStore::setFirstPosition(const QString& entry) {
    run(templates::setFirstPosition(s(entry)));
}

void TemplateStore::setParent(const QString& parent, const QString& entry) {
    run(templates::setParent(s(parent), s(entry)));
}

void TemplateStore::markFixed(const QString& entry) {
    run(jet::fill(kMarkFixed, {s(entry)}));
}

}  // namespace templates
