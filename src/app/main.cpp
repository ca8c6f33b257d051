#include <string>
#include <vector>

#include "app/application.h"
#include "app/main_window.h"

int main(int argc, char** argv) {
    quor::QuorApplication app(argc, argv);
    // The arguments as the shell passed them: file names are bytes.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    quor::TfQuorPrint fQuorPrint(std::move(arguments));
    fQuorPrint.show();
    return app.exec();
}
