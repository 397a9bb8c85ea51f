// SPDX-License-Identifier: MIT
#include "templates/library_jet.h"

#include <cmath>
#include <optional>

#include "templates/texts.h"

namespace templates {

namespace {

// A cell as the library's text columns hold it: whole numbers in decimal, a null empty.
QString text(const jet::Value& v) {
    if (v.isDouble()) {
        const double d = std::get<double>(v.storage());
        if (std::trunc(d) == d && std::fabs(d) < 1e15) {
            return QString::number(static_cast<qlonglong>(d));
        }
    }
    return QString::fromStdString(v.toString());
}

}  // namespace

ParsedLibrary libraryFromJetFile(const QString& path, const jetfile::ReadOptions& options) {
    auto refused = [](const QString& why) { return ParsedLibrary::refused({0, why}); };
    try {
        jetfile::JetFileReader reader(path.toStdString(), options);
        const std::optional<std::size_t> table = reader.catalog().indexOf("TEMP_FIELD");
        if (!table) {
            return refused(kJetNoTemplates.toString());
        }
        const jetfile::Table& t = reader.catalog().tables[*table];
        const char* names[] = {"FIELD_NO", "P_FIELD_NO", "KIND",   "FIELD_ID", "FIELD_NAME",
                               "ATTR",     "FIELD_SIZE", "SORTBY", "IME",      "DIS_ALT_FLG"};
        int at[std::size(names)];
        for (std::size_t i = 0; i < std::size(names); ++i) {
            at[i] = jetfile::columnIndex(t, names[i]);
            if (at[i] < 0 && i <= 4) {
                return refused(kJetNoTemplates.toString());
            }
        }
        std::vector<TemplateEntry> rows;
        std::size_t index = 0;
        std::vector<jet::Value> values;
        while (reader.next(index, values)) {
            if (index != *table) {
                continue;
            }
            QString cells[std::size(names)];
            for (std::size_t i = 0; i < std::size(names); ++i) {
                if (at[i] >= 0) {
                    cells[i] = text(values[static_cast<std::size_t>(at[i])]);
                }
            }
            rows.push_back({cells[0], cells[1], cells[2], cells[3], cells[4], cells[5], cells[6],
                            cells[7], cells[8], cells[9]});
        }
        return {libraryLines(rows), {}};
    } catch (const jetfile::ReadError& e) {
        return refused(QString::fromStdString(e.what()));
    }
}

}  // namespace templates
