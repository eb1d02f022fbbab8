#include "cli/cli_arguments.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <memory>

#include "base/language.h"

std::string LanguageArgument(int argc, char** argv) {
    std::string lang;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--lang" && i + 1 < argc) {
            lang = argv[i + 1];
        } else if (argument.rfind("--lang=", 0) == 0) {
            lang = argument.substr(7);
        }
    }
    return lang;
}

bool FlagArgument(int argc, char** argv, std::initializer_list<std::string_view> names) {
    for (int i = 1; i < argc; ++i) {
        for (const std::string_view name : names) {
            if (argv[i] == name) {
                return true;
            }
        }
    }
    return false;
}

namespace {

// The help's columns, lined up by characters rather than bytes, so that the
// Russian value types do not shift the descriptions.
class CharacterFormatter final : public CLI::Formatter {
  public:
    std::string make_option(const CLI::Option* option, bool positional) const override {
        const std::string name =
            "  " + make_option_name(option, positional) + make_option_opts(option);
        const std::string description = make_option_desc(option);
        std::size_t shown = 0;
        for (const char c : name) {
            shown += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 0 : 1;
        }
        const std::size_t width = get_column_width();
        const std::string indent(width, ' ');
        std::string text = name;
        if (!description.empty()) {
            text += shown >= width ? "\n" + indent : std::string(width - shown, ' ');
            for (const char c : description) {
                text += c;
                text += c == '\n' ? indent : "";
            }
        }
        return text + "\n";
    }
};

}  // namespace

void PrepareHelp(CLI::App& app) {
    app.formatter(std::make_shared<CharacterFormatter>());
    const auto formatter = app.get_formatter();
    formatter->label("Usage", PickText("Запуск", "Usage"));
    formatter->label("OPTIONS", PickText("ПАРАМЕТРЫ", "OPTIONS"));
    formatter->label("SUBCOMMAND", PickText("КОМАНДА", "COMMAND"));
    formatter->label("SUBCOMMANDS", PickText("КОМАНДЫ", "COMMANDS"));
    formatter->label("Positionals", PickText("Аргументы", "Arguments"));
    formatter->label("REQUIRED", PickText("ОБЯЗАТЕЛЬНО", "REQUIRED"));
    app.option_defaults()->group(PickText("Параметры", "Options"));
    app.set_help_flag("-h,--help", PickText("показать эту справку", "show this help"));
}

namespace {

void ForEachCommand(CLI::App& app, const std::function<void(CLI::App&)>& visit) {
    visit(app);
    for (CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        ForEachCommand(*command, visit);
    }
}

// "TEXT", "INT" and "FLOAT" as the value types the help shows.
void TranslateTypes(CLI::App& app) {
    for (CLI::Option* option : app.get_options()) {
        const std::string type = option->get_type_name();
        if (type.rfind("TEXT", 0) == 0) {
            option->type_name(PickText("ТЕКСТ", "TEXT"));
        } else if (type.rfind("INT", 0) == 0 || type.rfind("FLOAT", 0) == 0) {
            option->type_name(PickText("ЧИСЛО", "NUMBER"));
        }
    }
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

std::vector<std::string> CommandNames(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        names.push_back(command->get_name());
    }
    return names;
}

// The command the parser reached: the root, or the deepest command given.
const CLI::App& ReachedCommand(const CLI::App& app) {
    const CLI::App* reached = &app;
    while (!reached->get_subcommands().empty()) {
        reached = reached->get_subcommands().front();
    }
    return *reached;
}

std::string CommandRefusal(const CLI::App& app) {
    const CLI::App& reached = ReachedCommand(app);
    const std::vector<std::string> unknown = app.remaining(true);
    const std::string commands = Joined(CommandNames(reached));
    if (unknown.empty()) {
        return PickText("Нужна команда: ", "A command is required: ") + commands;
    }
    return PickText("Неизвестная команда \"", "Unknown command \"") + unknown.front() + "\"\n" +
           PickText("Команды: ", "Commands: ") + commands;
}

// The text before the first ": " of a parser message, which names the option.
std::string NamedOption(const std::string& message) {
    return message.substr(0, message.find(": "));
}

// The text after the first ": ".
std::string Detail(const std::string& message) {
    const std::size_t colon = message.find(": ");
    return colon == std::string::npos ? message : message.substr(colon + 2);
}

}  // namespace

void TranslateHelp(CLI::App& app) {
    ForEachCommand(app, [](CLI::App& command) {
        TranslateTypes(command);
        // A command's own help flag was made before the group was named.
        for (CLI::Option* option : command.get_options()) {
            if (option->get_group() == "Options") {
                option->group(PickText("Параметры", "Options"));
            }
        }
        for (CLI::App* below : command.get_subcommands([](const CLI::App*) { return true; })) {
            below->group(PickText("Команды", "Commands"));
        }
    });
}

CLI::Validator OneOf(std::vector<std::string> values) {
    const std::string list = Joined(values);
    return CLI::Validator(
        [values, list](std::string& value) -> std::string {
            for (const std::string& allowed : values) {
                if (value == allowed) {
                    return {};
                }
            }
            return "\"" + value + "\"" + PickText(" — допустимо: ", " — one of: ") + list;
        },
        "{" + list + "}");
}

CLI::Validator SecondsCount(int least) {
    constexpr int kYear = 366 * 24 * 3600;
    return CLI::Validator(
        [least](std::string& value) -> std::string {
            int seconds = -1;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), seconds);
            if (error == std::errc() && end == value.data() + value.size() && seconds >= least &&
                seconds <= kYear) {
                return {};
            }
            return "\"" + value + "\"" +
                   PickText(" — нужно число секунд от ", " — give whole seconds from ") +
                   std::to_string(least) + PickText(" до ", " to ") + std::to_string(kYear);
        },
        "");
}

CLI::Validator DecimalNumber(double least, double most) {
    return CLI::Validator(
        [least, most](std::string& value) -> std::string {
            double number = -1;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), number);
            if (error == std::errc() && end == value.data() + value.size() && number >= least &&
                number <= most) {
                return {};
            }
            char bounds[64];
            std::snprintf(bounds, sizeof bounds, "%g%s%g", least, PickText(" до ", " to "), most);
            return "\"" + value + "\"" + PickText(" — нужно число от ", " — give a number from ") +
                   bounds;
        },
        "");
}

std::string ParseErrorText(const CLI::App& app, const CLI::ParseError& error) {
    const std::string message = error.what();
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
        if (message.find("subcommand") != std::string::npos) {
            return CommandRefusal(app);
        }
        const std::size_t end = message.find(" is required");
        return end == std::string::npos
                   ? message
                   : PickText("Не задан ", "Missing ") + message.substr(0, end) +
                         PickText(" (обязательный аргумент)", " (required)");
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
        return PickText("Лишние аргументы: ", "Unexpected arguments: ") + Detail(message);
    }
    if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr) {
        return PickText("Недопустимое значение ", "Invalid value of ") + NamedOption(message) +
               ": " + Detail(message);
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
        return PickText("Нет значения у ", "No value given for ") + NamedOption(message);
    }
    return message;
}
