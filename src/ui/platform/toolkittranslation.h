#pragma once

#include <QString>

#include <memory>
#include <vector>

class QInputDialog;
class QTranslator;
class QWidget;

// The toolkit's own Chinese texts (its standard buttons, file and folder
// dialogs, the browser's menus), installed for as long as this lives. The
// folder is the toolkit's translations folder unless given.
class ToolkitTranslation final {
public:
    explicit ToolkitTranslation(const QString& folder = {});
    ~ToolkitTranslation();
    ToolkitTranslation(const ToolkitTranslation&) = delete;
    ToolkitTranslation& operator=(const ToolkitTranslation&) = delete;

    // False where the toolkit's base translation is not installed.
    bool loaded() const { return m_baseLoaded; }

private:
    std::vector<std::unique_ptr<QTranslator>> m_translators;
    bool m_baseLoaded = false;
};

// The standard buttons (OK, Cancel, Yes, No) of a dialog's button boxes that
// still speak English, because no translation of the toolkit is loaded, take
// the program's own texts: "确定", "取消", "是", "否".
void GiveButtonsOwnTexts(QWidget* dialog);
// The same for an input dialog, whose buttons are made only when asked for.
void GiveButtonsOwnTexts(QInputDialog* dialog);
