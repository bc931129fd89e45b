#include "cli/cli_run.h"

#include <QCoreApplication>
#include <iostream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("qmtctl");
    return qmt::cli::RunQmtctl(QCoreApplication::arguments(), std::cin, std::cout, std::cerr);
}
