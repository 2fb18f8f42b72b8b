// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog/dialog_base.h"

#include "ui/controls/combo_ctrl.h"
#include "ui/dialog/data_exchange.h"
#include "ui/controls/digits_edit.h"
#include "ui/controls/icon_button.h"
#include "ui/controls/progress_ctrl.h"
#include "ui/controls/slider_ctrl.h"
#include "ui/controls/time_edit.h"
#include "ui/controls/up_down_ctrl.h"
#include "ui/dialog/window_placement.h"
#include "ui/dialog/window_text.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QTimeEdit>

#include <algorithm>

namespace
{

constexpr int kAppIconSize = 64;

bool IsKind(const DialogItemTemplate& item, const char* kind)
{
    return item.kind == QLatin1String(kind);
}

// A caption as a screen reader should say it: without its mnemonic marker
// and without the colon that leads the eye to the field.
QString SpokenCaption(QString caption)
{
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    caption = caption.trimmed();
    if (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    return caption.trimmed();
}

// A template's text in the user's language, when the program installed a
// translation (context "CDialogTemplate"); else as written.
QString Translated(const QString& text)
{
    if (text.isEmpty())
        return text;
    return QCoreApplication::translate("CDialogTemplate", text.toUtf8().constData());
}

// Room a window manager's frame takes around a window not yet shown.
constexpr QMargins kAssumedFrame(4, 32, 4, 4);
// Room kept around a control scrolled into view.
constexpr int kScrollMargin = 8;

} // namespace

CDialogBase::CDialogBase(const QString& templatePath, QWidget* parent)
    : QDialog(parent),
      m_template(CDialogTemplate::Load(templatePath)),
      m_scroll(new QScrollArea(this)),
      m_page(new QWidget)
{
    m_template.m_caption = Translated(m_template.m_caption);
    for (DialogItemTemplate& item : m_template.m_items)
    {
        item.caption = Translated(item.caption);
        item.name = Translated(item.name);
    }
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(false);
    m_scroll->setWidget(m_page);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    // A control reached by the keyboard must be seen, also on a small screen.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == nullptr || !m_page->isAncestorOf(now))
            return;
        // The whole control, not the part of it Qt would pick for a text
        // field (its cursor), nor only a box's own edit field.
        while (now->parentWidget() != m_page)
            now = now->parentWidget();
        const QRect r = now->geometry();
        m_scroll->ensureVisible(r.center().x(), r.center().y(), r.width() / 2 + kScrollMargin,
                                r.height() / 2 + kScrollMargin);
    });
    setWindowTitle(m_template.m_caption);
    Qt::WindowFlags flags = Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (m_template.m_style.contains(QStringLiteral("minimizebox")))
        flags |= Qt::Window | Qt::WindowMinimizeButtonHint;
    else
        flags |= Qt::Dialog;
    setWindowFlags(flags);
    setSizeGripEnabled(false);
}

CDialogBase::~CDialogBase() = default;

CDialogUnits CDialogBase::Units() const
{
    return CDialogUnits(font());
}

int CDialogBase::DoModal()
{
    // Each modal run works on fresh controls, as if the window were made anew.
    if (m_created)
        DestroyControls();
    CreateControls();
    m_endCode = 0;
    m_ended = false;
    if (OnInitDialog())
        FocusFirstTabStop();
    // OnInitDialog may already have ended the run.
    if (m_ended)
        return m_endCode;
    return exec();
}

bool CDialogBase::Create()
{
    if (m_created)
        return true;
    CreateControls();
    if (OnInitDialog())
        FocusFirstTabStop();
    return true;
}

void CDialogBase::ShowWindow(bool show)
{
    if (!show)
    {
        hide();
        return;
    }
    Create();
    showNormal();
    raise();
    activateWindow();
}

void CDialogBase::EndDialog(int result)
{
    m_endCode = result;
    m_ended = true;
    done(result);
}

bool CDialogBase::UpdateData(bool saveAndValidate)
{
    return Exchange(saveAndValidate, false);
}

bool CDialogBase::UpdateDataQuietly()
{
    return Exchange(true, true);
}

bool CDialogBase::Exchange(bool saveAndValidate, bool quiet)
{
    CDataExchange dx(*this, saveAndValidate, quiet);
    DoDataExchange(dx);
    return !dx.Failed();
}

QWidget* CDialogBase::GetDlgItem(int id) const
{
    return m_byId.value(id, nullptr);
}

QString CDialogBase::GetDlgItemText(int id) const
{
    return GetWindowText(GetDlgItem(id));
}

void CDialogBase::SetDlgItemText(int id, const QString& text)
{
    SetWindowText(GetDlgItem(id), text);
}

QList<QAbstractButton*> CDialogBase::RadioGroup(int firstId) const
{
    return m_radioGroups.value(firstId);
}

void CDialogBase::CheckRadio(int firstId, int index)
{
    const QList<QAbstractButton*> group = RadioGroup(firstId);
    if (group.isEmpty())
        return;
    QButtonGroup* buttons = group.first()->group();
    // An exclusive group cannot be left with no button checked.
    if (buttons != nullptr)
        buttons->setExclusive(false);
    for (int i = 0; i < group.size(); ++i)
        group[i]->setChecked(i == index);
    if (buttons != nullptr)
        buttons->setExclusive(true);
}

void CDialogBase::DoDataExchange(CDataExchange&) {}

bool CDialogBase::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialogBase::OnOK()
{
    if (!UpdateData(true))
        return;
    EndDialog(IDOK);
}

void CDialogBase::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialogBase::accept()
{
    OnOK();
}

void CDialogBase::reject()
{
    OnCancel();
}

void CDialogBase::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
    {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    if (auto* focused = qobject_cast<QPushButton*>(focusWidget()); focused != nullptr && focused->isEnabled())
    {
        focused->click();
        return;
    }
    for (QWidget* control : std::as_const(m_controls))
    {
        auto* button = qobject_cast<QPushButton*>(control);
        if (button != nullptr && button->isDefault() && button->isEnabled())
        {
            button->click();
            return;
        }
    }
    OnOK();
}

void CDialogBase::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange && m_created)
        LayoutControls();
}

void CDialogBase::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The screen is known for sure only now.
    if (m_created)
        FitToScreen();
    const QScreen* screen = this->screen();
    if (screen == nullptr)
        return;
    const QRect room = screen->availableGeometry();
    if (!m_placed && parentWidget() == nullptr && m_template.m_style.contains(QStringLiteral("center")))
    {
        m_placed = true;
        move(CentredOnScreen(frameGeometry().size(), room));
        return;
    }
    // A window over its parent may stick out where the parent is near an
    // edge, or once it was shrunk to the screen: all of it stays on screen.
    const QRect frame = frameGeometry();
    const QPoint inside(std::clamp(frame.x(), room.left(), std::max(room.left(), room.right() + 1 - frame.width())),
                        std::clamp(frame.y(), room.top(), std::max(room.top(), room.bottom() + 1 - frame.height())));
    if (inside != frame.topLeft())
        move(inside);
}

void CDialogBase::NameControls()
{
    for (int i = 0; i < m_controls.size() && i < m_template.m_items.size(); ++i)
    {
        const DialogItemTemplate& item = m_template.m_items[i];
        if (!item.name.isEmpty())
            m_controls[i]->setAccessibleName(item.name);
        QWidget* target = item.labelFor >= 0 ? GetDlgItem(item.labelFor) : nullptr;
        if (target == nullptr)
            continue;
        if (auto* label = qobject_cast<QLabel*>(m_controls[i]))
            label->setBuddy(target);
        // A label's own text is what it says, and changes to it are read
        // out: the caption only describes it.
        if (qobject_cast<QLabel*>(target) != nullptr)
            target->setAccessibleDescription(SpokenCaption(item.caption));
        else
            target->setAccessibleName(SpokenCaption(item.caption));
    }
}

void CDialogBase::FitToScreen()
{
    const QSize page = m_page->size();
    const QScreen* screen = this->screen();
    if (screen == nullptr)
    {
        setFixedSize(page);
        return;
    }
    const QMargins frame =
        isVisible()
            ? QMargins(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                       frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom())
            : kAssumedFrame;
    const QSize room = screen->availableGeometry().marginsRemoved(frame).size();
    if (page.width() <= room.width() && page.height() <= room.height())
    {
        setFixedSize(page);
        return;
    }
    // Too big: a scroll bar takes room from the other direction too.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QSize full = page;
    if (page.width() > room.width())
        full.rheight() += bar;
    if (page.height() > room.height())
        full.rwidth() += bar;
    setMinimumSize(QSize(std::min(full.width(), 8 * bar), std::min(full.height(), 8 * bar)));
    setMaximumSize(full);
    resize(full.boundedTo(room));
}

void CDialogBase::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    m_scroll->setGeometry(rect());
}

void CDialogBase::FocusFirstTabStop()
{
    for (QWidget* control : std::as_const(m_controls))
    {
        if (control != nullptr && (control->focusPolicy() & Qt::TabFocus) && control->isEnabled())
        {
            control->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void CDialogBase::DestroyControls()
{
    for (QWidget* control : std::as_const(m_controls))
        delete control;
    m_controls.clear();
    m_byId.clear();
    m_radioGroups.clear();
    for (QButtonGroup* group : findChildren<QButtonGroup*>(Qt::FindDirectChildrenOnly))
        delete group;
    m_created = false;
}

void CDialogBase::CreateControls()
{
    QWidget* previous = nullptr;
    QButtonGroup* radioGroup = nullptr;
    int radioGroupFirstId = -1;
    QWidget* lastTabStop = nullptr;
    for (const DialogItemTemplate& item : std::as_const(m_template.m_items))
    {
        QWidget* control = CreateControl(item, previous);
        m_controls.append(control);
        if (item.id >= 0 && !m_byId.contains(item.id))
            m_byId.insert(item.id, control);

        // A radio group runs from a radio that starts a group, or the first
        // radio after a control that starts one, to the next control that
        // starts a group.
        const bool startsGroup = item.HasStyle(QStringLiteral("group"));
        if (auto* radio = qobject_cast<QRadioButton*>(control))
        {
            if (radioGroup == nullptr || startsGroup)
            {
                radioGroup = new QButtonGroup(this);
                radioGroupFirstId = item.id;
            }
            radioGroup->addButton(radio);
            m_radioGroups[radioGroupFirstId].append(radio);
        }
        else if (startsGroup)
        {
            radioGroup = nullptr;
        }

        if (control->focusPolicy() & Qt::TabFocus)
        {
            if (lastTabStop != nullptr)
                setTabOrder(lastTabStop, control);
            lastTabStop = control;
        }
        previous = control;
    }
    // Frames are drawn behind everything and never take the mouse, whatever
    // their place in the template.
    for (QWidget* control : std::as_const(m_controls))
    {
        if (qobject_cast<QGroupBox*>(control) != nullptr)
            control->lower();
    }
    m_created = true;
    NameControls();
    LayoutControls();
    // Shown once placed: a control shown before it has a size works out the
    // size it would like, which takes a while for every button's text.
    for (QWidget* control : std::as_const(m_controls))
        control->show();
}

QWidget* CDialogBase::CreateControl(const DialogItemTemplate& item, QWidget* previous)
{
    QWidget* control = nullptr;
    const bool tabStop = item.HasStyle(QStringLiteral("tabstop"));
    if (IsKind(item, "pushbutton") || IsKind(item, "defpushbutton"))
    {
        auto* button = new QPushButton(item.caption, m_page);
        button->setAutoDefault(false);
        button->setDefault(IsKind(item, "defpushbutton"));
        // The OK and Cancel buttons carry the dialog's own commands.
        if (item.id == IDOK)
            connect(button, &QPushButton::clicked, this, [this] { OnOK(); });
        else if (item.id == IDCANCEL)
            connect(button, &QPushButton::clicked, this, [this] { OnCancel(); });
        control = button;
    }
    else if (IsKind(item, "iconbutton"))
    {
        auto* button = new CIconButton(m_page);
        button->setText(item.caption);
        control = button;
    }
    else if (IsKind(item, "checkbox"))
    {
        control = new QCheckBox(item.caption, m_page);
    }
    else if (IsKind(item, "radio"))
    {
        control = new QRadioButton(item.caption, m_page);
    }
    else if (IsKind(item, "groupbox"))
    {
        auto* frame = new QGroupBox(item.caption, m_page);
        frame->setAttribute(Qt::WA_TransparentForMouseEvents);
        frame->setFocusPolicy(Qt::NoFocus);
        control = frame;
    }
    else if (IsKind(item, "icon"))
    {
        auto* icon = new QLabel(m_page);
        icon->setAlignment(Qt::AlignCenter);
        control = icon;
    }
    else if (IsKind(item, "edit"))
    {
        QLineEdit* edit = item.HasStyle(QStringLiteral("digits")) ? new CDigitsEdit(m_page) : new QLineEdit(m_page);
        if (item.HasStyle(QStringLiteral("right")))
            edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        control = edit;
    }
    else if (IsKind(item, "combo"))
    {
        auto* combo = new CComboCtrl(m_page);
        combo->SetSorted(item.HasStyle(QStringLiteral("sorted")));
        combo->setEditable(item.HasStyle(QStringLiteral("dropdown")));
        control = combo;
    }
    else if (IsKind(item, "updown"))
    {
        auto* upDown =
            new CUpDownCtrl(item.HasStyle(QStringLiteral("horizontal")) ? Qt::Horizontal : Qt::Vertical, m_page);
        if (item.HasStyle(QStringLiteral("buddy-previous")))
            upDown->SetBuddy(qobject_cast<QLineEdit*>(previous));
        control = upDown;
    }
    else if (IsKind(item, "spinbox"))
    {
        auto* spin = new QSpinBox(m_page);
        if (item.HasStyle(QStringLiteral("right")))
            spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        control = spin;
    }
    else if (IsKind(item, "slider"))
    {
        control = new CSliderCtrl(Qt::Horizontal, m_page);
    }
    else if (IsKind(item, "progress"))
    {
        control = new CProgressCtrl(m_page);
    }
    else if (IsKind(item, "timeedit"))
    {
        auto* editor = new CTimeEdit(m_page);
        editor->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        editor->setTimeRange(QTime(0, 0, 0), QTime(23, 59, 59));
        editor->setTime(QTime(0, 0, 0));
        editor->setWrapping(true);
        if (item.HasStyle(QStringLiteral("right")))
            editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        control = editor;
    }
    else
    {
        auto* label = new QLabel(item.caption, m_page);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        control = label;
    }

    if (item.id >= 0)
        control->setObjectName(QStringLiteral("control%1").arg(item.id));
    const bool focusable = qobject_cast<QLabel*>(control) == nullptr && qobject_cast<QGroupBox*>(control) == nullptr
                           && qobject_cast<QProgressBar*>(control) == nullptr
                           && qobject_cast<CUpDownCtrl*>(control) == nullptr;
    if (!focusable)
        control->setFocusPolicy(Qt::NoFocus);
    else if (!tabStop)
        control->setFocusPolicy(Qt::ClickFocus);
    return control;
}

void CDialogBase::LayoutControls()
{
    const CDialogUnits units = Units();
    m_page->setFixedSize(units.ToPixels(m_template.m_sizeDlu));
    FitToScreen();
    for (int i = 0; i < m_controls.size() && i < m_template.m_items.size(); ++i)
    {
        const DialogItemTemplate& item = m_template.m_items[i];
        QWidget* control = m_controls[i];
        QRect r = units.ToPixels(item.rectDlu);
        if (auto* combo = qobject_cast<QComboBox*>(control))
        {
            // A combo's template height includes its drop-down list; the
            // closed box takes the height it needs.
            const int boxHeight = combo->sizeHint().height();
            const int itemHeight = std::max(1, combo->fontMetrics().height() + 2);
            combo->setMaxVisibleItems(std::max(1, (r.height() - boxHeight) / itemHeight));
            r.setHeight(boxHeight);
        }
        else if (auto* icon = qobject_cast<QLabel*>(control); icon != nullptr && IsKind(item, "icon"))
        {
            // The icon is drawn at its own size, centred on the control.
            const QPoint centre = r.center();
            r.setSize(QSize(std::max(r.width(), kAppIconSize), std::max(r.height(), kAppIconSize)));
            r.moveCenter(centre);
        }
        control->setGeometry(r);
    }
}
