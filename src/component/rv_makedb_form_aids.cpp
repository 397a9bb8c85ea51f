// Aids for working faster in the wizard that leave its layout as it is: marks on the rows
// OK would refuse, and the preview of a build.
#include <QAction>
#include <QKeySequence>

#include "component/build_preview.h"
#include "component/rv_makedb_form.h"
#include "component/texts.h"
#include "controls/flex_grid.h"
#include "wizard/live_checks.h"

namespace component {

void rv_makeDBForm::connectWorkingAids() {
    new wizard::LiveChecks(*fg1->gridModel(), this);

    auto* preview = new QAction(kPreviewCaption.toString(), fg1);
    preview->setShortcut(QKeySequence(Qt::Key_F9));
    preview->setShortcutContext(Qt::WindowShortcut);
    connect(preview, &QAction::triggered, this, [this] { showBuildPreview(); });
    fg1->addAction(preview);
    fg1->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void rv_makeDBForm::showBuildPreview() {
    QStringList lines;
    for (const std::string& statement : buildStatements(m_status, *fg1->gridModel())) {
        lines << QString::fromStdString(statement);
    }
    BuildPreview preview(lines.join(u'\n'), this);
    preview.exec();
}

}  // namespace component
