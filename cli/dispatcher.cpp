// The table of subcommands; adding a command is one line here.
#include "cli/dispatcher.h"

#include <cstring>

#include "cli/command_kit.h"
#include "cli/commands.h"
#include "cli/comprimi_command.h"
#include "common/constants.h"
#include "platform/message_box.h"

namespace velaset {
namespace cli {
namespace {

// velaset comprimi takes the arguments after its name.
int RunComprimiCommandInTable(int argc, char** argv) {
    return RunComprimiCommand(argc - 1, argv + 1);
}

struct Command {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* summary;
};

const Command kCommands[] = {
    {"new", RunNewCommand, "crea un nuovo progetto"},
    {"show", RunShowCommand, "mostra il testo che il salvataggio scriverebbe per un progetto"},
    {"set", RunSetCommand, "imposta campi e messaggi di un progetto"},
    {"add", RunAddCommand, "aggiunge file all'elenco dei file"},
    {"remove", RunRemoveCommand, "toglie file dall'elenco dei file"},
    {"dest", RunDestCommand, "imposta la destinazione di un file"},
    {"link", RunLinkCommand, "aggiunge o toglie un collegamento"},
    {"reg", RunRegCommand, "aggiunge o toglie una voce di registro"},
    {"msg", RunMsgCommand, "cambia un messaggio dell'installazione"},
    {"inf", RunInfCommand, "scrive il file di installazione setup.inf"},
    {"build", RunBuildCommand, "crea l'eseguibile autoestraente (o solo lo script) di un progetto"},
    {"winget", RunWingetCommand, "scrive i manifest di winget di un pacchetto"},
    {"comprimi", RunComprimiCommandInTable, "crea un file CAB con Comprimi"},
};

void PrintHelp(std::FILE* to) {
    std::fprintf(to, "uso: velaset COMANDO [ARGOMENTI...]\n"
                     "     velaset COMANDO --help | --version\n\ncomandi:\n");
    for (const Command& command : kCommands)
        std::fprintf(to, "  %-10s %s\n", command.name, command.summary);
}

} // namespace

int RunVelaset(int argc, char** argv) {
    // The command line has no windows: message boxes become lines on the error stream.
    platform::ScopedMessageBoxHandler boxes([](const platform::MessageBoxCall& call) {
        return platform::MessageBoxToStream(call, Err());
    });
    if (argc < 2) {
        PrintHelp(Err());
        return kExitUsage;
    }
    const char* name = argv[1];
    if (std::strcmp(name, "--version") == 0) {
        std::fprintf(Out(), "velaset %s\n", VELASET_VERSION_TEXT);
        return kExitOk;
    }
    if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0 ||
        std::strcmp(name, "help") == 0) {
        // "velaset help COMMAND" is "velaset COMMAND --help".
        if (argc >= 3 && std::strcmp(name, "help") == 0) {
            char help[] = "--help";
            char* asked[] = {argv[2], help, nullptr};
            for (const Command& command : kCommands) {
                if (std::strcmp(argv[2], command.name) == 0)
                    return command.run(2, asked);
            }
            std::fprintf(Err(), "velaset: comando sconosciuto: %s\n", argv[2]);
            PrintHelp(Err());
            return kExitUsage;
        }
        PrintHelp(Out());
        return kExitOk;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(name, command.name) != 0)
            continue;
        // Every command takes --version as the help says, as velaset itself does.
        for (int i = 2; i < argc; ++i) {
            if (std::strcmp(argv[i], "--version") == 0) {
                std::fprintf(Out(), "velaset %s\n", VELASET_VERSION_TEXT);
                return kExitOk;
            }
        }
        return command.run(argc - 1, argv + 1);
    }
    std::fprintf(Err(), "velaset: comando sconosciuto: %s\n", name);
    PrintHelp(Err());
    return kExitUsage;
}

} // namespace cli
} // namespace velaset
