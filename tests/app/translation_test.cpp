// SPDX-License-Identifier: GPL-3.0-or-later
// The window in German and French: every text it shows is translated, none is
// cut off by its control, and no two controls of a window share a mnemonic.
#include "app/app_translation.h"
#include "main_dlg_window_fixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>

#include <map>

namespace
{

// Texts that are the same words in English and the other language.
const QSet<QString> kSameInBothLanguages{
    QStringLiteral("OK"),  QStringLiteral("20"),  QStringLiteral("20000"),   QStringLiteral("hh:mm:ss"),
    QStringLiteral("Min"), QStringLiteral("Max"), QStringLiteral("&Volume"), // French
};

QString Shown(const QWidget* w)
{
    if (auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(w))
        return group->title();
    return {};
}

QString WithoutMnemonic(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    return text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// The captions of a window's controls by position, and its title.
QStringList Texts(const CDialogBase& dialog)
{
    QStringList texts{dialog.windowTitle()};
    for (const QWidget* control : dialog.Controls())
        texts << Shown(control);
    return texts;
}

// Text that does not fit its control: the width it needs against the width
// it has, for labels, check boxes, radio buttons, push buttons and frames.
void ExpectNothingCut(const CDialogBase& dialog)
{
    for (const QWidget* control : dialog.Controls())
    {
        const QString text = WithoutMnemonic(Shown(control));
        if (text.isEmpty() || !control->isVisible())
            continue;
        const int needed = control->fontMetrics().horizontalAdvance(text);
        int room = control->width();
        if (qobject_cast<const QCheckBox*>(control) != nullptr || qobject_cast<const QRadioButton*>(control) != nullptr)
            room = control->width() - (control->sizeHint().width() - needed);
        else if (qobject_cast<const QPushButton*>(control) != nullptr && !control->inherits("CIconButton"))
            room = control->width();
        else if (control->inherits("CIconButton"))
            continue; // wraps its caption under the icon
        EXPECT_LE(needed, room) << dialog.windowTitle().toStdString() << ": \"" << text.toStdString() << "\" in "
                                << control->width();
    }
}

// Each mnemonic letter once per window.
void ExpectMnemonicsUnique(const CDialogBase& dialog)
{
    std::map<QChar, QString> seen;
    for (const QWidget* control : dialog.Controls())
    {
        const QString text = Shown(control);
        for (qsizetype i = 0; i + 1 < text.size(); ++i)
        {
            if (text[i] != QLatin1Char('&') || text[i + 1] == QLatin1Char('&'))
                continue;
            const QChar letter = text[i + 1].toLower();
            EXPECT_FALSE(seen.count(letter)) << dialog.windowTitle().toStdString() << ": \"" << text.toStdString()
                                             << "\" and \"" << seen[letter].toStdString() << "\"";
            seen[letter] = text;
            break;
        }
    }
}

struct Language
{
    const char* name;
    QLocale::Language language;
};

class Translation : public MainWindowTest, public testing::WithParamInterface<Language>
{
protected:
    ~Translation() override
    {
        m_dialog.reset();
        CAppTranslation::Remove();
    }
};

} // namespace

TEST_P(Translation, EveryTextShownIsTranslatedAndFits)
{
    // English first: the texts to differ from, which fit too.
    CMainDlg& english = Start();
    const QStringList englishMain = Texts(english);
    const QStringList englishManage = Texts(english.m_saveSetDlg);
    const QString englishStatus = Text(english, IDC_STATUS);
    ExpectNothingCut(english);
    ExpectMnemonicsUnique(english);

    ASSERT_TRUE(CAppTranslation::Install(QLocale(GetParam().language)).startsWith(GetParam().name));
    CMainDlg& d = Start();
    const QStringList mainTexts = Texts(d);
    const QStringList manageTexts = Texts(d.m_saveSetDlg);
    ASSERT_EQ(mainTexts.size(), englishMain.size());
    for (qsizetype i = 0; i < mainTexts.size(); ++i)
    {
        if (!englishMain[i].isEmpty() && !kSameInBothLanguages.contains(englishMain[i]))
        {
            EXPECT_NE(mainTexts[i], englishMain[i]);
        }
    }
    for (qsizetype i = 0; i < manageTexts.size(); ++i)
    {
        if (!englishManage[i].isEmpty())
        {
            EXPECT_NE(manageTexts[i], englishManage[i]);
        }
    }
    EXPECT_NE(Text(d, IDC_STATUS), englishStatus);
    ExpectNothingCut(d);
    ExpectMnemonicsUnique(d);
    d.m_saveSetDlg.ShowWindow(true);
    ExpectNothingCut(d.m_saveSetDlg);
    ExpectMnemonicsUnique(d.m_saveSetDlg);

    // A value out of range gets its message in the language too.
    Edit(d, IDC_LOWER_LIMIT)->setText("1");
    Button(d, IDC_PLAY)->click();
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_FALSE(m_messages.Texts().first().startsWith("Please")) << m_messages.Texts().first().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, Translation,
                         testing::Values(Language{"de", QLocale::German}, Language{"fr", QLocale::French}),
                         [](const auto& info) { return std::string(info.param.name); });
