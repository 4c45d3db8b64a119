#include "HandlerGuard.h"

#include "ProgramInfo.h"

#include <QMessageBox>

#include <new>

void ShowErrorMessage(QWidget* parent, const QString& Message)
{
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kMessageCaption), Message,
                    QMessageBox::Ok, parent);
    box.exec();
}

void ShowInformationMessage(QWidget* parent, const QString& Message, const QString& Details)
{
    QMessageBox box(QMessageBox::Information, QString::fromLatin1(kMessageCaption), Message,
                    QMessageBox::Ok, parent);
    if (!Details.isEmpty())
        box.setDetailedText(Details);
    box.exec();
}

QString CurrentExceptionMessage()
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("An unknown error occurred");
    }
}
