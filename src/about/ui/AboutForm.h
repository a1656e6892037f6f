#pragma once

#include <QDialog>
#include <QUrl>

#include <functional>

class QLabel;
class QPushButton;

// The About box: product name and version, the maker's notice and links.
class TAboutForm : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutForm(QWidget *mainWindow = nullptr);

    QLabel *labProgramName = nullptr;
    QLabel *labVersion = nullptr;
    QLabel *labCopyright = nullptr;
    QLabel *labRightsReserved = nullptr;
    QLabel *labVisitWebsite = nullptr;
    QLabel *labWebsite = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *labMore = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label10 = nullptr;
    QPushButton *btnOK = nullptr;

    void labWebsiteClick();
    void labMoreClick();
    void Label8Click();
    void Label9Click();
    void Label10Click();

    // Where links are opened; tests replace it.
    static void SetLinkOpener(std::function<void(const QUrl &)> opener);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void OpenLink(const QString &address);
    QWidget *m_mainWindow = nullptr;
};
