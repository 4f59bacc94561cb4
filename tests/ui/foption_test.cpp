#include "dialogfixture.h"

#include "ui/foption.h"
#include "ui/optionscontroller.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(SizeLimit, PositiveNumbersOnly)
{
    const struct {
        QString text;
        std::optional<double> value;
    } cases[] = {
        {u"10"_s, 10.0}, {u" 2.5 "_s, 2.5}, {u"0.1"_s, 0.1}, {u"0"_s, std::nullopt}, {u"-1"_s, std::nullopt},
        {u""_s, std::nullopt}, {u"ten"_s, std::nullopt}, {u"10MB"_s, std::nullopt}, {u"inf"_s, std::nullopt},
        {u"nan"_s, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseSizeLimit(c.text), c.value) << c.text.toStdString();
    EXPECT_EQ(SizeLimitText(10), u"10"_s);
    EXPECT_EQ(SizeLimitText(2.5), u"2.5"_s);
    EXPECT_EQ(SizeLimitText(1000000), u"1000000"_s);
}

struct OptionsDialog : DialogFixture {
    // The download window as the options dialog sees it: a loaded window of
    // that name with the method label and the thread-count list.
    void openDownloadWindow()
    {
        downloadWindow = std::make_unique<QWidget>();
        downloadWindow->setObjectName(u"fFileDownload"_s);
        label7 = new QLabel(u"下载方式：2"_s, downloadWindow.get());
        label7->setObjectName(u"Label7"_s);
        combo1 = new QComboBox(downloadWindow.get());
        combo1->setObjectName(u"Combo1"_s);
        combo1->addItems({u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s});
        combo1->setCurrentIndex(3);
    }

    std::unique_ptr<QWidget> downloadWindow;
    QLabel* label7 = nullptr;
    QComboBox* combo1 = nullptr;
};

TEST(OptionsDialog, ShowsTheProgramValuesOfAnOpenDownloadWindow)
{
    OptionsDialog f;
    f.openDownloadWindow();
    f.values.DownloadMethod = 2;
    f.values.MaxFileSizeMB = 2.5;
    f.values.UseProxy = true;
    f.values.ProxyAddress = u"proxy"_s;
    f.values.ProxyPort = u"3128"_s;
    f.values.PromptSaveFolder = false;
    f.settings.setMaxFileSizeMB(99); // not read: the window's values are current
    fOption dialog(f.values, f.settings, f.prompts);
    EXPECT_EQ(dialog.windowTitle(), u"设置"_s);
    EXPECT_TRUE(control<QRadioButton>(dialog, u"Option2"_s)->isChecked());
    EXPECT_TRUE(control<QCheckBox>(dialog, u"Check1"_s)->isChecked());
    EXPECT_EQ(control<QLineEdit>(dialog, u"Text6"_s)->text(), u"proxy"_s);
    EXPECT_EQ(control<QLineEdit>(dialog, u"Text8"_s)->text(), u"3128"_s);
    EXPECT_FALSE(control<QCheckBox>(dialog, u"Check2"_s)->isChecked());
    EXPECT_EQ(control<QLineEdit>(dialog, u"Text1"_s)->text(), u"2.5"_s);
    EXPECT_EQ(control<QLabel>(dialog, u"Label2"_s)->text(), u"下载文件大小不超过：       MB"_s);
}

TEST(OptionsDialog, BeforeAnyDownloadWindowTheStoredValuesAreShown)
{
    OptionsDialog f;
    // Never loaded: what the values hold before any window read them.
    f.values.DownloadMethod = 0;
    f.values.MaxFileSizeMB = 0;
    f.values.PromptSaveFolder = false;
    f.settings.setDownloadMethod(1);
    f.settings.setMaxFileSizeMB(7);
    f.settings.setProxyAddress(u"stored.proxy"_s);
    f.values.NameByOriginalFile = true;
    fOption dialog(f.values, f.settings, f.prompts);
    EXPECT_TRUE(control<QRadioButton>(dialog, u"Option1"_s)->isChecked());
    EXPECT_EQ(control<QLineEdit>(dialog, u"Text1"_s)->text(), u"7"_s);
    EXPECT_EQ(control<QLineEdit>(dialog, u"Text6"_s)->text(), u"stored.proxy"_s);
    EXPECT_TRUE(control<QCheckBox>(dialog, u"Check2"_s)->isChecked()); // the stored default
    EXPECT_TRUE(f.values.NameByOriginalFile); // the save folder dialog's result is not a stored value
}

TEST(OptionsDialog, ConfirmStoresEverythingAndWarnsOfABadProxyOnly)
{
    const struct {
        const char* name;
        bool useProxy;
        QString address;
        QString port;
        bool warned;
    } cases[] = {
        {"proxy off, empty values", false, u""_s, u""_s, false},
        {"proxy on, port 80a", true, u" proxy.host "_s, u"80a"_s, true},
        {"proxy on, no address", true, u"  "_s, u"80"_s, true},
        {"proxy on, fine", true, u"10.0.0.1"_s, u" 3128 "_s, false},
    };
    for (const auto& c : cases) {
        OptionsDialog f;
        f.settings.setDownloadMethod(1); // read at load: no download window is open
        fOption dialog(f.values, f.settings, f.prompts);
        dialog.show();
        control<QCheckBox>(dialog, u"Check1"_s)->setChecked(c.useProxy);
        control<QLineEdit>(dialog, u"Text6"_s)->setText(c.address);
        control<QLineEdit>(dialog, u"Text8"_s)->setText(c.port);
        click(dialog, u"Command1"_s);

        EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.name;
        EXPECT_FALSE(dialog.isVisible()) << c.name;
        EXPECT_EQ(f.prompts.messages(), c.warned ? QStringList{u"代理服务器网址或者端口格式不对！"_s} : QStringList())
            << c.name;
        if (c.warned) {
            EXPECT_EQ(f.prompts.shown[0].Icon, MessageIcon::Error);
        }
        EXPECT_EQ(f.stored(u"代理服务器有效"_s), c.useProxy ? u"1"_s : u"0"_s) << c.name;
        EXPECT_EQ(f.stored(u"代理服务器网址"_s), c.address.trimmed()) << c.name;
        EXPECT_EQ(f.stored(u"代理服务器端口"_s), c.port.trimmed()) << c.name;
        EXPECT_EQ(f.values.ProxyPort, c.port.trimmed()) << c.name;
        EXPECT_EQ(f.stored(u"下载方式"_s), u"1"_s) << c.name;
        EXPECT_EQ(f.stored(u"文件最大值"_s), u"10"_s) << c.name;
    }
}

TEST(OptionsDialog, ASizeThatIsNoPositiveNumberIsRefusedAndNothingStored)
{
    for (const QString& size : {u"abc"_s, u"0"_s, u"-3"_s, u""_s}) {
        OptionsDialog f;
        fOption dialog(f.values, f.settings, f.prompts);
        dialog.show();
        control<QRadioButton>(dialog, u"Option1"_s)->setChecked(true);
        control<QLineEdit>(dialog, u"Text1"_s)->setText(size);
        click(dialog, u"Command1"_s);
        EXPECT_TRUE(dialog.isVisible()) << size.toStdString();
        EXPECT_EQ(f.prompts.messages(), QStringList{u"文件大小必须是大于0的数字！"_s});
        EXPECT_EQ(f.stored(u"下载方式"_s), u"<unset>"_s);
        EXPECT_EQ(f.stored(u"文件最大值"_s), u"<unset>"_s);
        EXPECT_EQ(f.values.DownloadMethod, 2);

        control<QLineEdit>(dialog, u"Text1"_s)->setText(u"2.5"_s);
        click(dialog, u"Command1"_s);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(f.stored(u"文件最大值"_s), u"2.5"_s);
        EXPECT_EQ(f.values.maxFileSizeBytes(), 2.5 * 1048576);
        EXPECT_EQ(f.values.DownloadMethod, 1);
    }
}

TEST(OptionsDialog, ThePaceBoxesTakeWholeNumbersInTheirRangeOnly)
{
    struct Case {
        const char* name;
        QString pace, cap;
        QString message; // empty: accepted
        QString focused;
    };
    const Case cases[] = {
        {"defaults", u"1"_s, u"0"_s, {}, {}},
        {"no pace, a cap", u" 0 "_s, u"150"_s, {}, {}},
        {"fraction", u"1.5"_s, u"0"_s, u"同一网站两次开始的间隔必须是0到3600之间的整数（秒）！"_s, u"Text2"_s},
        {"negative", u"-1"_s, u"0"_s, u"同一网站两次开始的间隔必须是0到3600之间的整数（秒）！"_s, u"Text2"_s},
        {"too long", u"3601"_s, u"0"_s, u"同一网站两次开始的间隔必须是0到3600之间的整数（秒）！"_s, u"Text2"_s},
        {"empty cap", u"1"_s, u""_s, u"每小时最多下载篇数必须是0到100000之间的整数（0为不限）！"_s, u"Text3"_s},
        {"letters", u"1"_s, u"ten"_s, u"每小时最多下载篇数必须是0到100000之间的整数（0为不限）！"_s, u"Text3"_s},
        {"full-width digits", u"1"_s, u"１０"_s, u"每小时最多下载篇数必须是0到100000之间的整数（0为不限）！"_s, u"Text3"_s},
    };
    for (const Case& c : cases) {
        OptionsDialog f;
        fOption dialog(f.values, f.settings, f.prompts);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        EXPECT_EQ(control<QLineEdit>(dialog, u"Text2"_s)->text(), u"1"_s) << c.name;
        EXPECT_EQ(control<QLineEdit>(dialog, u"Text3"_s)->text(), u"0"_s) << c.name;
        control<QLineEdit>(dialog, u"Text2"_s)->setText(c.pace);
        control<QLineEdit>(dialog, u"Text3"_s)->setText(c.cap);
        click(dialog, u"Command1"_s);
        if (c.message.isEmpty()) {
            EXPECT_FALSE(dialog.isVisible()) << c.name;
            EXPECT_TRUE(f.prompts.messages().isEmpty()) << c.name;
            EXPECT_EQ(f.stored(u"同一网站两次开始的间隔"_s), c.pace.trimmed()) << c.name;
            EXPECT_EQ(f.stored(u"每小时最多下载篇数"_s), c.cap) << c.name;
            EXPECT_EQ(f.values.SecondsBetweenHostStarts, c.pace.trimmed().toInt()) << c.name;
            EXPECT_EQ(f.values.HostStartsPerHour, c.cap.toInt()) << c.name;
            continue;
        }
        EXPECT_TRUE(dialog.isVisible()) << c.name;
        EXPECT_EQ(f.prompts.messages(), QStringList{c.message}) << c.name;
        EXPECT_EQ(f.stored(u"同一网站两次开始的间隔"_s), u"<unset>"_s) << c.name;
        EXPECT_EQ(f.stored(u"文件最大值"_s), u"<unset>"_s) << c.name;
        EXPECT_EQ(QApplication::focusWidget(), control<QLineEdit>(dialog, c.focused)) << c.name;
    }
}

TEST(OptionsDialog, TheMethodReachesAnOpenDownloadWindow)
{
    OptionsDialog f;
    f.openDownloadWindow();
    {
        fOption dialog(f.values, f.settings, f.prompts);
        control<QRadioButton>(dialog, u"Option1"_s)->setChecked(true);
        click(dialog, u"Command1"_s);
    }
    EXPECT_EQ(f.label7->text(), u"下载方式：1"_s);
    EXPECT_FALSE(f.combo1->isEnabled());
    {
        fOption dialog(f.values, f.settings, f.prompts);
        control<QRadioButton>(dialog, u"Option2"_s)->setChecked(true);
        click(dialog, u"Command1"_s);
    }
    EXPECT_EQ(f.label7->text(), u"下载方式：2"_s);
    EXPECT_TRUE(f.combo1->isEnabled());
    EXPECT_EQ(f.combo1->currentText(), u"1"_s);
    EXPECT_EQ(f.stored(u"下载方式"_s), u"2"_s);
}

TEST(OptionsDialog, TheBrowsersMethodAndItsFallbackSwitchAreShownAndStored)
{
    OptionsDialog f;
    f.openDownloadWindow();
    {
        fOption dialog(f.values, f.settings, f.prompts);
        EXPECT_EQ(control<QRadioButton>(dialog, u"Option3"_s)->text(), u"下载方式三 (浏览器下载，适用于需要网页验证的网站)"_s);
        EXPECT_TRUE(control<QCheckBox>(dialog, u"Check3"_s)->isChecked()); // on by default
        control<QRadioButton>(dialog, u"Option3"_s)->setChecked(true);
        control<QCheckBox>(dialog, u"Check3"_s)->setChecked(false);
        click(dialog, u"Command1"_s);
    }
    EXPECT_EQ(f.values.DownloadMethod, 3);
    EXPECT_FALSE(f.values.BrowserFallback);
    EXPECT_EQ(f.stored(u"下载方式"_s), u"3"_s);
    EXPECT_EQ(f.stored(u"网页验证时浏览器重试"_s), u"0"_s);
    EXPECT_EQ(f.label7->text(), u"下载方式：3"_s);
    EXPECT_TRUE(f.combo1->isEnabled());
    fOption again(f.values, f.settings, f.prompts);
    EXPECT_TRUE(control<QRadioButton>(again, u"Option3"_s)->isChecked());
    EXPECT_FALSE(control<QCheckBox>(again, u"Check3"_s)->isChecked());
}

TEST(OptionsDialog, TheCitationFileBesideEachPaperIsOffUntilChosen)
{
    OptionsDialog f;
    {
        fOption dialog(f.values, f.settings, f.prompts);
        auto* beside = control<QCheckBox>(dialog, u"Check4"_s);
        EXPECT_FALSE(beside->isChecked());
        beside->setChecked(true);
        click(dialog, u"Command1"_s);
    }
    EXPECT_TRUE(f.values.CitationBesideFile);
    EXPECT_EQ(f.stored(u"保存文献引用文件"_s), u"1"_s);
    fOption again(f.values, f.settings, f.prompts);
    EXPECT_TRUE(control<QCheckBox>(again, u"Check4"_s)->isChecked());
}

TEST(OptionsDialog, CloseAfterEditingChangesNothing)
{
    OptionsDialog f;
    f.values.UseProxy = false;
    f.openDownloadWindow();
    fOption dialog(f.values, f.settings, f.prompts);
    dialog.show();
    control<QRadioButton>(dialog, u"Option1"_s)->setChecked(true);
    control<QCheckBox>(dialog, u"Check1"_s)->setChecked(true);
    control<QLineEdit>(dialog, u"Text1"_s)->setText(u"3"_s);
    click(dialog, u"Command2"_s);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(f.stored(u"下载方式"_s), u"<unset>"_s);
    EXPECT_EQ(f.values.DownloadMethod, 2);
    EXPECT_FALSE(f.values.UseProxy);
    EXPECT_EQ(f.values.MaxFileSizeMB, 10);
    EXPECT_EQ(f.label7->text(), u"下载方式：2"_s);
    EXPECT_TRUE(f.prompts.shown.isEmpty());
}

} // namespace
