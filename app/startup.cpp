#include "app/startup.h"

#include "app/frame.h"
#include "app/splash.h"
#include "platform/plain_text_edit.h"
#include "resources/artwork.h"

#include <QApplication>
#include <QFont>

int runTarnwell(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarnwell"));
    QApplication::setApplicationName(QStringLiteral("Tarnwell"));
    QApplication::setWindowIcon(artwork::applicationIcon());
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    // The program ends with the main window, whatever else (About box, hidden forms) is open.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt 6.4 crashes when a text box pastes from a clipboard without text.
    platform::installPasteGuard(&application);

    auto* splash = new app::Frmstart;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();

    app::MainWindow* main = app::mainWindow();
    splash->setTarget(main);
    QObject::connect(main, &app::MainWindow::closed, &application, &QCoreApplication::quit, Qt::QueuedConnection);

    const int rc = QApplication::exec();
    app::resetFrame();
    return rc;
}
