// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_dlg.h"

#include "app/app_resources.h"
#include "app/resource_ids.h"

#include <QLabel>

namespace
{

constexpr int kIconPixels = 64;

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : CDialogBase(IDD_ABOUT, parent) {}

bool CAboutDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    if (auto* icon = GetDlgItemAs<QLabel>(IDC_ABOUT_ICON))
        icon->setPixmap(
            CAppResources::LoadIcon(IDI_APP).pixmap(QSize(kIconPixels, kIconPixels), icon->devicePixelRatioF()));
    return true;
}
