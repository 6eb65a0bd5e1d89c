// One process-wide instance of a form, created on first use. Closing the
// form (the forms set WA_DeleteOnClose) destroys it: that is unloading, and
// the next use creates a fresh form.
#pragma once

#include <QPointer>

// Usage: class frmX : public QWidget, public SharedForm<frmX> { friend class SharedForm<frmX>; ... };
template <class Form>
class SharedForm {
public:
    // The shared instance, created on first use. The reference stays valid
    // until the form is closed.
    static Form& instance()
    {
        QPointer<Form>& form = slot();
        if (!form)
            form = new Form;
        return *form;
    }
    // True while an instance exists (loaded), without creating one.
    static bool isLoaded() { return !slot().isNull(); }

protected:
    // Lets go of the shared instance at once, for a form whose deletion is
    // pending: the next instance() makes a new form rather than handing out
    // one that the next event loop destroys.
    static void forget() { slot().clear(); }

private:
    static QPointer<Form>& slot()
    {
        static QPointer<Form> form;
        return form;
    }
};
