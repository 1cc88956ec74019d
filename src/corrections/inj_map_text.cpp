#include "corrections/inj_map_text.h"

#include "corrections/map_proposal.h"

namespace injmap_text {

std::string detail(const std::string& path, const std::string& reason) {
    return path + ": " + reason;
}

std::string emptyProposal(const std::string& path, const map_proposal_t& p) {
    return "Z tego nagrania nie powstała żadna wartość mapy: komórka potrzebuje ponad 10 "
           "próbek na benzynie i ponad 10 na LPG przy tych samych obrotach i podciśnieniu. "
           "Nagraj jazdę na obu paliwach w podobnych warunkach.\n" +
           detail(path, "próbek " + std::to_string(p.samples) + ", przyjętych " +
                            std::to_string(p.accepted));
}

std::string unreadLines(const std::string& path, std::size_t stopLine, std::size_t unread) {
    return "Część pliku pominięto: mapa powstała z próbek przed wierszem " +
           std::to_string(stopLine) + ". Sprawdź, czy to właściwe nagranie.\n" +
           detail(path, "od wiersza " + std::to_string(stopLine) +
                            " nieodczytanych wierszy: " + std::to_string(unread));
}

}  // namespace injmap_text
