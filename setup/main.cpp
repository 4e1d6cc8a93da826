#include "Form1.h"

#include "host/ClassicFont.h"
#include "host/ErrorReport.h"
#include "host/FormInstance.h"
#include "host/Prefix.h"

int main(int argc, char** argv) {
    host::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vortle Installation"));
    host::useClassicFont();
    host::ensurePrefix();
    host::FormInstance<Form1>::show();
    return QApplication::exec();
}
