#include "multiviewer/ui/panel_style.h"

#include "resources/skin_colors.h"
#include "resources/skin_fields.h"

namespace kvx {

void colourPageField(QWidget* field) {
    skin::styleField(field, skin::kFieldText);
}

void colourLabelEdit(QWidget* edit) {
    skin::styleField(edit, Qt::white);
}

}  // namespace kvx
