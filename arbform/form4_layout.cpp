// Form4's outlet groups: the designed layout, hiding them, showing them, and
// moving the groups that a network holds up into the rows of the groups it
// lacks.
#include "arbform/form4.h"

#include "text/strings.h"

namespace dorv::arb {

std::vector<ui::Control*> Form4::group_controls() const {
  return {&Label5,  &Label8,  &Label9,  &Label10, &Label12, &Label13, &Label14, &Label15, &Label16,
          &Label17, &Label18, &Text11,  &Text12,  &Text13,  &Text14,  &Text16,  &Text17,  &Text18,
          &Text19,  &Text22,  &Text23,  &Text24,  &Text25,  &Text26,  &Text27};
}

void Form4::restore_design_tops() {
  const auto controls = group_controls();
  for (std::size_t i = 0; i < controls.size() && i < saved_group_tops_.size(); ++i) {
    ui::Rect r = controls[i]->rect();
    r.top = saved_group_tops_[i];
    controls[i]->move(r);
  }
}

void Form4::ResetGroupLayout() {
  restore_design_tops();
  for (ui::TextBox* t : {&Text20, &Text21, &Text22, &Text23, &Text24, &Text25, &Text26, &Text27}) t->set_text(L"");
}

std::vector<ui::Control*> Form4::hideable_controls() const {
  std::vector<ui::Control*> controls = group_controls();
  controls.insert(controls.end(), {Label1[0], Label1[1], Label1[2], Label1[3], Label2[3], Text1[0], Text1[1], Text1[2],
                                   Text1[3], &Text10, &Label11, &Text20, &Text21});
  return controls;
}

void Form4::HideOutletGroups() {
  for (ui::Control* c : hideable_controls()) c->set_visible(false);
}

void Form4::show_design_groups() {
  for (ui::Control* c : hideable_controls()) c->set_visible(true);
}

std::vector<ui::Control*> Form4::outlet_group(int kind) const {
  switch (kind) {
    case kMainKind:
      return {&Label11, Label1[0], Label1[1], Label1[2], Label1[3], Text1[0], Text1[1], Text1[2], Text1[3], &Text20, &Text21};
    case kRackKind:
      return {&Label14, &Label15, &Label16, &Label17, &Label18, &Text16, &Text17, &Text18, &Text19, &Text22, &Text23};
    case kDelugeKind:
      return {&Label12, &Label5, &Label9, &Text11, &Text12, &Text24, &Text25};
    default:
      return {&Label13, &Label8, &Label10, &Text13, &Text14, &Text26, &Text27};
  }
}

void Form4::show_outlet_groups(const std::array<bool, 4>& kinds) {
  for (int kind = 0; kind < 4; ++kind)
    if (kinds[static_cast<std::size_t>(kind)])
      for (ui::Control* c : outlet_group(kind)) c->set_visible(true);
  restore_design_tops();
  RestackOutletGroups(state.imported.OutletGroups);
}

void Form4::RestackOutletGroups(const GroupFlags& present) {
  auto move_up = [](const std::vector<ui::Control*>& group, int s) {
    for (ui::Control* c : group) {
      ui::Rect r = c->rect();
      r.top -= s;
      c->move(r);
    }
  };
  if (present.rack) move_up(outlet_group(kRackKind), present.main ? 0 : 1320);
  if (present.deluge) move_up(outlet_group(kDelugeKind), 1320 * ((present.main ? 0 : 1) + (present.rack ? 0 : 1)));
  if (!trim(Text13.text()).empty()) {
    static const int moves[2][2][2] = {// [main][rack][deluge]
                                       {{3480, 2640}, {2160, 1300}},
                                       {{2160, 1300}, {840, 0}}};
    move_up(outlet_group(kFireCockKind), moves[present.main][present.rack][present.deluge]);
  }
}

}  // namespace dorv::arb
