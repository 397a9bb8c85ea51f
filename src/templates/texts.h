#pragma once

// The template library's user-visible texts and the look of its tree nodes.

#include <QColor>
#include <QStringView>

namespace templates {

// Root node of the template tree.
inline constexpr QStringView kRootKey = u"0";
inline constexpr QStringView kRootText = u"全部の項目";

// Kinds of TEMP_FIELD rows, compared exactly (lower-case rows are not shown).
inline constexpr QStringView kKindFolder = u"F";
inline constexpr QStringView kKindField = u"A";

// Node images: the root and folders, template fields, fixed template fields.
inline constexpr QStringView kImageClosed = u"close";
inline constexpr QStringView kImageOpen = u"open";
inline constexpr QStringView kImageField = u"f1";
inline constexpr QStringView kImageFixedField = u"f2";

inline constexpr int kNodeFontSize = 10;
inline constexpr QColor kRootColor = QColor(200, 160, 50);
inline constexpr QColor kFolderColor = QColor(0, 0, 255);
inline constexpr QColor kFieldColor = QColor(0, 80, 0);

// Indentation of one tree level.
inline constexpr int kTreeIndentTwips = 250;

// What a screen reader calls a template tree, in the wizard and in the browser.
inline constexpr QStringView kTreeAccessibleName = u"項目ライブラリ";

}  // namespace templates
