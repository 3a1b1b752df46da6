// Form4's outlet groups: the designed layout, hiding them, and moving the
// groups that a network holds up into the rows of the groups it lacks.
#include "arbform/form4.h"

#include "text/strings.h"

namespace dorv::arb {

std::vector<ui::Control*> Form4::group_controls() const {
  return {&Label5,  &Label8,  &Label9,  &Label10, &Label12, &Label13, &Label14, &Label15, &Label16,
          &Label17, &Label18, &Text11,  &Text12,  &Text13,  &Text14,  &Text16,  &Text17,  &Text18,
          &Text19,  &Text22,  &Text23,  &Text24,  &Text25,  &Text26,  &Text27};
}

void Form4::ResetGroupLayout() {
  const auto controls = group_controls();
  for (std::size_t i = 0; i < controls.size() && i < saved_group_tops_.size(); ++i) {
    ui::Rect r = controls[i]->rect();
    r.top = saved_group_tops_[i];
    controls[i]->move(r);
  }
  for (ui::TextBox* t : {&Text20, &Text21, &Text22, &Text23, &Text24, &Text25, &Text26, &Text27}) t->set_text(L"");
}

void Form4::HideOutletGroups() {
  for (ui::Control* c : {static_cast<ui::Control*>(Label1[0]), static_cast<ui::Control*>(Label1[1]),
                         static_cast<ui::Control*>(Label1[2]), static_cast<ui::Control*>(Label1[3]),
                         static_cast<ui::Control*>(Label2[3]), static_cast<ui::Control*>(Text1[0]),
                         static_cast<ui::Control*>(Text1[1]), static_cast<ui::Control*>(Text1[2]),
                         static_cast<ui::Control*>(Text1[3]), static_cast<ui::Control*>(&Text10),
                         static_cast<ui::Control*>(&Label11)})
    c->set_visible(false);
  for (ui::Control* c : group_controls()) c->set_visible(false);
  for (ui::TextBox* t : {&Text20, &Text21}) t->set_visible(false);
}

void Form4::show_controls(std::initializer_list<ui::Control*> controls) {
  for (ui::Control* c : controls) c->set_visible(true);
}

void Form4::RestackOutletGroups(const GroupFlags& present) {
  auto move_up = [](std::initializer_list<ui::Control*> group, int s) {
    for (ui::Control* c : group) {
      ui::Rect r = c->rect();
      r.top -= s;
      c->move(r);
    }
  };
  if (present.rack)
    move_up({&Label14, &Label15, &Label16, &Label17, &Label18, &Text16, &Text17, &Text18, &Text19, &Text22, &Text23},
            present.main ? 0 : 1320);
  if (present.deluge)
    move_up({&Label12, &Label5, &Label9, &Text11, &Text12, &Text24, &Text25},
            1320 * ((present.main ? 0 : 1) + (present.rack ? 0 : 1)));
  if (!trim(Text13.text()).empty()) {
    static const int moves[2][2][2] = {// [main][rack][deluge]
                                       {{3480, 2640}, {2160, 1300}},
                                       {{2160, 1300}, {840, 0}}};
    move_up({&Label13, &Label8, &Label10, &Text13, &Text14, &Text26, &Text27},
            moves[present.main][present.rack][present.deluge]);
  }
}

}  // namespace dorv::arb
