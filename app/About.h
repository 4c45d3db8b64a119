#pragma once

// The about box: the version over the program's picture, and links to the
// maker's web page and support mail address.

#include <QDialog>

class QLabel;
class QPushButton;
class TAddressOpener;

class TfrmAbout : public QDialog
{
    Q_OBJECT

public:
    // Addresses opens the two links; it must outlive the dialog.
    TfrmAbout(TAddressOpener* Addresses, QWidget* Owner);

    // The version into Label1.
    void FormCreate();
    // The web address with the desktop's browser.
    void Label5Click();
    // A new mail to the support address.
    void Label7Click();
    // "OK": closes the dialog.
    void SpTBXButton1Click();

    // The text the links show.
    static QString WebText();
    static QString SupportText();

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* SpTBXButton1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    // A left click on Label5 or Label7 opens its link.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TAddressOpener* m_addresses;
};
