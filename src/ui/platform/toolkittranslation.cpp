#include "toolkittranslation.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTranslator>

#include <algorithm>
#include <iterator>

using namespace Qt::Literals::StringLiterals;

namespace {

// The program speaks Chinese whatever the desktop's language, so the toolkit does too.
const QString kLanguage = u"zh_CN"_s;

struct OwnText {
    QDialogButtonBox::StandardButton Button;
    QString English; // what the toolkit says untranslated, without its "&"
    QString Chinese;
};

const OwnText kOwnTexts[] = {
    {QDialogButtonBox::Ok, u"OK"_s, u"确定"_s},
    {QDialogButtonBox::Cancel, u"Cancel"_s, u"取消"_s},
    {QDialogButtonBox::Yes, u"Yes"_s, u"是"_s},
    {QDialogButtonBox::No, u"No"_s, u"否"_s},
};

bool speaksEnglish(const QString& text, const OwnText& own)
{
    return QString(text).remove(u'&') == own.English;
}

const OwnText& ownText(QDialogButtonBox::StandardButton button)
{
    return *std::find_if(std::begin(kOwnTexts), std::end(kOwnTexts),
                         [button](const OwnText& own) { return own.Button == button; });
}

} // namespace

ToolkitTranslation::ToolkitTranslation(const QString& folder)
{
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    for (const QString& catalogue : {u"qtbase"_s, u"qtwebengine"_s}) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(catalogue + u'_' + kLanguage, from)
            || !QCoreApplication::installTranslator(translator.get()))
            continue;
        if (catalogue == u"qtbase"_s)
            m_baseLoaded = true;
        m_translators.push_back(std::move(translator));
    }
}

// A translator takes itself out of the application when it goes.
ToolkitTranslation::~ToolkitTranslation() = default;

void GiveButtonsOwnTexts(QWidget* dialog)
{
    if (dialog == nullptr)
        return;
    for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>()) {
        for (const OwnText& own : kOwnTexts) {
            QPushButton* button = box->button(own.Button);
            if (button != nullptr && speaksEnglish(button->text(), own))
                button->setText(own.Chinese);
        }
    }
}

void GiveButtonsOwnTexts(QInputDialog* dialog)
{
    if (dialog == nullptr)
        return;
    const OwnText& ok = ownText(QDialogButtonBox::Ok);
    const OwnText& cancel = ownText(QDialogButtonBox::Cancel);
    if (speaksEnglish(dialog->okButtonText(), ok))
        dialog->setOkButtonText(ok.Chinese);
    if (speaksEnglish(dialog->cancelButtonText(), cancel))
        dialog->setCancelButtonText(cancel.Chinese);
}
