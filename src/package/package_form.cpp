#include "package/package_form.h"

#include "common/form_text.h"

namespace bcnk {

PackageForm TrimmedPackageForm(const PackageForm& typed) {
    PackageForm form = typed;
    form.name = FormFieldText(typed.name);
    form.description = FormFieldText(typed.description);
    form.email = FormFieldText(typed.email);
    form.founded = FormFieldText(typed.founded);
    return form;
}

Text PackageFormProblem(const PackageForm& form) {
    // Only the name is required; an empty description, e-mail or year is written as an
    // empty value, which the owner can fill in when reviewing the files.
    return form.name.empty() ? Text(kEnterNameMessage) : Text();
}

}  // namespace bcnk
