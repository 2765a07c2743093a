#include "host_options.h"

namespace host {

HostOptions ParseHostOptions(const QStringList& arguments) {
    HostOptions options;
    QStringList rest;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--demo-world")) {
            options.demoWorld = true;
        } else if (argument == QLatin1String("--measure")) {
            options.measure = true;
            options.demoWorld = true;
        } else if (argument == QLatin1String("--demo-people")) {
            bool number = false;
            const int people = i + 1 < arguments.size() ? arguments[i + 1].toInt(&number) : 0;
            if (!number || people < 1) {
                options.error = QStringLiteral("--demo-people needs a number of people");
                return options;
            }
            ++i;
            options.demoPeople = people;
            options.demoWorld = true;
        } else if (argument == QLatin1String("--screenshot")) {
            if (i + 1 >= arguments.size()) {
                options.error = QStringLiteral("--screenshot needs a folder");
                return options;
            }
            options.screenshotDir = arguments[++i];
            options.demoWorld = true;
        } else {
            rest << argument;
        }
    }
    options.startCommandLine = rest.join(QLatin1Char(' '));
    return options;
}

}  // namespace host
