#include "search/steam_libraries.h"

#include <optional>

#include "core/archive.h"
#include "core/ascii.h"

namespace tolvaren {
namespace {

constexpr std::string_view kLibraryPathKey = "path";

// In a Steam folder, and in each library.
constexpr char kLibraryList[] = "steamapps/libraryfolders.vdf";
constexpr char kSteamGames[] = "steamapps/common";

struct Token {
    enum Kind { Word, Open, Close, End } kind;
    Text text;
    bool quoted = false;
};

class VdfTokens {
public:
    explicit VdfTokens(std::string_view text) : text_(text) {}

    // Nullopt on a quoted token without its closing quote.
    std::optional<Token> Next() {
        SkipSpacesAndComments();
        tokenLine_ = line_;
        if (at_ == text_.size()) return Token{Token::End, {}};
        const char c = text_[at_];
        if (c == '{' || c == '}') {
            ++at_;
            return Token{c == '{' ? Token::Open : Token::Close, {}};
        }
        if (c == '"') return Quoted();
        const std::size_t start = at_;
        while (at_ < text_.size() && !IsAsciiSpace(text_[at_]) && text_[at_] != '"' &&
               text_[at_] != '{' && text_[at_] != '}')
            ++at_;
        return Token{Token::Word, Text(text_.data() + start, at_ - start)};
    }

    // The line on which the last token started.
    int TokenLine() const { return tokenLine_; }

private:
    void SkipSpacesAndComments() {
        while (at_ < text_.size()) {
            if (text_[at_] == '\n') ++line_;
            if (IsAsciiSpace(text_[at_])) {
                ++at_;
            } else if (text_[at_] == '/' && at_ + 1 < text_.size() && text_[at_ + 1] == '/') {
                while (at_ < text_.size() && text_[at_] != '\n') ++at_;
            } else {
                return;
            }
        }
    }

    std::optional<Token> Quoted() {
        Token token{Token::Word, {}, true};
        for (++at_; at_ < text_.size(); ++at_) {
            const char c = text_[at_];
            if (c == '"') {
                ++at_;
                return token;
            }
            if (c == '\n') ++line_;
            if (c == '\\' && at_ + 1 < text_.size() && (text_[at_ + 1] == '"' || text_[at_ + 1] == '\\'))
                ++at_;
            token.text += text_[at_];
        }
        return std::nullopt;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1;
    int tokenLine_ = 1;
};

bool IsNumber(const Text& text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (!IsAsciiDigit(c)) return false;
    return true;
}

bool IsCondition(const Token& token) {
    return token.kind == Token::Word && !token.quoted && token.text.size() >= 2 &&
           token.text.front() == '[' && token.text.back() == ']';
}

class VdfReader {
public:
    explicit VdfReader(std::string_view text) : tokens_(text) {}

    SteamLibraryList Read() {
        int depth = 0;
        for (;;) {
            std::optional<Token> key = NextToken();
            if (!key) return Fail("a quoted text has no closing quote");
            if (key->kind == Token::End) return depth == 0 ? Done() : Fail("a block has no closing }");
            if (key->kind == Token::Close) {
                if (depth == 0) return Fail("} without a block to close");
                --depth;
                continue;
            }
            if (key->kind == Token::Open) return Fail("a block without a key");
            std::optional<Token> value = NextToken();
            if (!value) return Fail("a quoted text has no closing quote");
            if (value->kind == Token::Open) {
                ++depth;
            } else if (value->kind == Token::Word) {
                const bool oldForm = depth == 1 && IsNumber(key->text);
                if (oldForm || EqualIgnoringAsciiCase(key->text, kLibraryPathKey))
                    list_.paths.push_back(std::move(value->text));
            } else {
                return Fail("the key \"" + Excerpt(key->text) + "\" has no value");
            }
        }
    }

private:
    // The next token that is not a condition.
    std::optional<Token> NextToken() {
        std::optional<Token> token = tokens_.Next();
        while (token && IsCondition(*token)) token = tokens_.Next();
        return token;
    }

    SteamLibraryList Done() { return std::move(list_); }

    SteamLibraryList Fail(const Text& why) {
        list_.problem = {Reason::Malformed, "line " + DecimalText(tokens_.TokenLine()) + ": " + why};
        return std::move(list_);
    }

    VdfTokens tokens_;
    SteamLibraryList list_;
};

}  // namespace

SteamLibraryList LibraryPathsInVdf(std::string_view vdfText) { return VdfReader(vdfText).Read(); }

List<Text> SteamLibrariesOf(FileSystem& files, const Text& steamFolder, List<SearchProblem>& problems) {
    List<Text> libraries{steamFolder};
    const Text listPath = files.PathIn(steamFolder, kLibraryList);
    const Result<Text> listed = files.ReadTextFile(listPath);
    if (!listed) {
        problems.push_back({SearchProblem::Kind::ReadInPart, listPath, Text(), listed.Why()});
        return libraries;
    }
    SteamLibraryList list = LibraryPathsInVdf(*listed);
    if (!list.problem.Done())
        problems.push_back({SearchProblem::Kind::ReadInPart, listPath, Text(), std::move(list.problem)});
    for (std::size_t i = 0; i < list.paths.size(); ++i) {
        // A library's path is never relative; one that is cannot be placed.
        if (!files.IsAbsolute(list.paths[i])) continue;
        const Result<Text> native = files.PathFromUtf8(list.paths[i]);
        if (!native) {
            // Named by its place in the list: its letters are what cannot be shown.
            problems.push_back({SearchProblem::Kind::ReadInPart, listPath, "library " + DecimalText(i + 1), native.Why()});
            continue;
        }
        libraries.push_back(files.PathIn(Text(), *native));
    }
    return libraries;
}

void AddGamesFoundByTheirArchive(FileSystem& files, const Text& library, InstallationSearch& search) {
    const Text games = files.PathIn(library, kSteamGames);
    search.places.push_back(files.PathIn(games, "*/" + Text(kArchiveInGame)));
    const Result<List<Text>> names = files.SubfolderNames(games);
    if (!names) return;
    for (const Text& game : *names) {
        const Text archive = files.PathIn(files.PathIn(games, game), kArchiveInGame);
        if (NamesVehicleList(files, archive)) AddOnce(files, search, {archive, library, Source::SteamLibrary});
    }
}

void AddOnce(FileSystem& files, InstallationSearch& search, Installation installation) {
    const Result<FileIdentity> identity = files.IdentityOf(installation.archivePath);
    for (const Installation& found : search.found) {
        const Result<FileIdentity> foundIdentity = files.IdentityOf(found.archivePath);
        const bool same = identity && foundIdentity ? *identity == *foundIdentity
                                                    : files.SamePath(found.archivePath, installation.archivePath);
        if (same) return;
    }
    search.found.push_back(std::move(installation));
}

}  // namespace tolvaren
