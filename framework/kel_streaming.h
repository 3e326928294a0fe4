// Form files: the components of a form (or of any root component) with their published
// properties as UTF-8 text, one object per block, readable in a diff (docs/form-files.md):
//
//     object MainForm: TForm
//       Width = 480
//       Caption = "Levels"
//       Font {
//         Height = -13
//       }
//       object Meter1: TMeter
//         Left = 8
//         Value = 0.75
//       end
//     end
//
// Writing stores the root and the components it owns, each control nested in its parent, each
// object's properties that differ from their defaults (events and unregistered state are not
// stored). Reading creates the objects by class name, owned by the root, marks them as loading
// while their properties are set, places the controls in their parents, and then calls Loaded on
// every object in creation order. A file that cannot be read raises EFormFileError naming the
// line and the fault, and leaves nothing behind: created objects are deleted, and a component
// read into is unchanged.
#pragma once

#include "kel_classes.h"

#include <iosfwd>
#include <string>

namespace kel {

class TWinControl;

// A form file that cannot be read: Line() is the 1-based line of the fault (0 when the fault
// is not tied to a line, such as a file that cannot be opened).
class EFormFileError : public EReadError {
  public:
    EFormFileError(int Line, const std::string& Msg);
    int Line() const { return FLine; }

  private:
    int FLine;
};

// Writes Root and what it owns. Raises EWriteError when an object cannot be stored faithfully
// (its class is not registered, or it is of an unregistered descendant of a registered class)
// or the stream fails; the file is not created or replaced then.
void WriteComponent(std::ostream& Stream, const TComponent& Root);
void WriteComponentFile(const std::string& FileName, const TComponent& Root);
std::string ComponentToText(const TComponent& Root);

// Creates the root object of a form file and everything in it. The root gets AOwner as owner
// and, when it is a control, AParent as parent; a control that is the root of its file gets
// its parent before Loaded runs. The caller (or AOwner) owns the result.
TComponent* ReadComponent(std::istream& Stream, TComponent* AOwner, TWinControl* AParent = nullptr);
TComponent* ReadComponentFile(const std::string& FileName, TComponent* AOwner,
                              TWinControl* AParent = nullptr);
TComponent* ComponentFromText(const std::string& Text, TComponent* AOwner,
                              TWinControl* AParent = nullptr);

// Reads a form file into an existing component of the file's root class: the root's properties
// are set on Target, the objects inside are created owned by Target. The file is first read
// into a fresh object, so a fault leaves Target as it was. Loaded then runs on Target, on what
// it already owned and on the new objects.
void ReadComponentInto(std::istream& Stream, TComponent& Target);
void ReadComponentFileInto(const std::string& FileName, TComponent& Target);
void ComponentFromTextInto(const std::string& Text, TComponent& Target);

} // namespace kel
