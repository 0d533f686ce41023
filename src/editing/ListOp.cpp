#include "editing/ListOp.h"

#include "document/EntryList.h"
#include "editing/StepNames.h"

#include <utility>

namespace editing {

namespace {

template <class... Ts> struct Overloaded : Ts... {
    using Ts::operator()...;
};

} // namespace

void ListOp::revert()
{
    EntryList &l = *list;
    std::visit(Overloaded{
                   [&l](Inserted &c) { l.removeAt(c.row); },
                   [&l](Appended &c) { l.truncate(c.first); },
                   [&l](Removed &c) { l.insert(c.row, std::move(c.entry)); },
                   [&l](Truncated &c) { l.appendEntries(std::move(c.entries)); },
                   [&l](CaptionChanged &c) { l.setCaption(c.row, std::move(c.old)); },
                   [&l](EntryReplaced &c) { l.assignEntry(c.row, c.old); },
                   [&l](Moved &c) {
                       // The entry stands at target now; it goes back before the entry that follows its
                       // old place.
                       const int target = c.before > c.from ? c.before - 1 : c.before;
                       l.move(target, c.from > target ? c.from + 1 : c.from);
                   },
                   [&l](Reordered &c) {
                       // Position k took the entry from order[k]; the entry now at k goes back to order[k].
                       std::vector<int> back(c.order.size());
                       for (size_t k = 0; k < c.order.size(); ++k)
                           back[static_cast<size_t>(c.order[k])] = static_cast<int>(k);
                       l.reorder(std::move(back));
                   },
               },
               change);
}

QString ListOp::stepName() const
{
    return std::visit(Overloaded{
                          [](const Inserted &) { return stepname::add(); },
                          [](const Appended &) { return stepname::add(); },
                          [](const Removed &) { return stepname::remove(); },
                          [](const Truncated &) { return stepname::clear(); },
                          [](const CaptionChanged &) { return stepname::rename(); },
                          [](const EntryReplaced &) { return stepname::change(); },
                          [](const Moved &) { return stepname::move(); },
                          [](const Reordered &) { return stepname::sort(); },
                      },
                      change);
}

int ListOp::rowLeft() const
{
    return std::visit(Overloaded{
                          [](const Inserted &c) { return c.row; },
                          [](const Appended &c) { return c.count > 0 ? c.first : -1; },
                          [](const Removed &) { return -1; },
                          [](const Truncated &) { return -1; },
                          [](const CaptionChanged &c) { return c.row; },
                          [](const EntryReplaced &c) { return c.row; },
                          [](const Moved &c) { return c.before > c.from ? c.before - 1 : c.before; },
                          [](const Reordered &) { return -1; },
                      },
                      change);
}

} // namespace editing
