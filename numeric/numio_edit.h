// TNumIO: a numeric edit box on the framework's edit box. The user types freely; after every
// change of the text the box checks that the whole text is a number of the chosen input format
// lying in the range (or 0), and otherwise puts the last accepted text back (beeping when Beep
// is set). In the fixed-point format it keeps the number of decimals fixed. Include KEL_NumIO.h.
//
// Choices made where the behaviour is open or would lose input:
//  * An empty text is accepted (value 0), so the user can clear the box.
//  * Text the box sets itself (SetEditText: Value, restoring) becomes the last accepted text, so
//    a rejected key brings back what was shown, never an older text.
//  * SetEditText with the text already shown leaves no pending "internal change" behind (which
//    would let the next typed change through unchecked).
//  * Value reads the text whatever the separator setting; text the box writes (Value, the
//    fixed-point formatting) uses "," when only the comma is accepted.
//  * Digit formats (itHex, itOct, itBin and the dynamic prefixes) accept texts whose value fits
//    32 bits; a lone prefix ("$", "%", "&") is accepted as an unfinished entry (value 0).
#pragma once

#include "numio_format.h"
#include "kel_stdctrls.h"

#include <string>

namespace kel {

class TNumIO : public TCustomEdit {
  public:
    // The edit box with the defaults: itDynamic, 2 fixed-point decimals, no beep, the
    // platform's separator, an empty text; the range is 0..0 (only 0 is accepted until the
    // range is set), or the whole double range while the box is being designed.
    explicit TNumIO(TComponent* AOwner);
    std::string ClassName() const override { return "TNumIO"; }
    // From another TNumIO: InputFormat, Beep, RangeLow, RangeHigh, DecPlaceSep (not
    // FixPointDecPlaces); any other source goes to the framework.
    void Assign(const TPersistent* Source) override;

    // Format the text must have. Setting a new one forgets the last accepted text and checks
    // the current text at once.
    TInFormat InputFormat() const { return FInFormat; }
    void SetInputFormat(TInFormat Value);
    // Decimals of itFixPoint, clamped to 1..8 (default 2); nothing else happens.
    int FixPointDecPlaces() const { return FFixPDecPl; }
    void SetFixPointDecPlaces(int Value) { SetFixPDecPl(Value); }
    void SetFixPDecPl(int Value);
    // Accepted range (0 is accepted always). A low bound at or above the high one swaps them:
    // RangeLow := 5 while RangeHigh is 3 gives 3..5. A changed range forgets the last accepted
    // text and checks the current text again; an unchanged one does nothing. While
    // a form file loads they only store the bound; Loaded puts the two in order.
    double RangeLow() const { return FMinimum; }
    void SetRangeLow(double Value);
    double RangeHigh() const { return FMaximum; }
    void SetRangeHigh(double Value);
    // Decimal separator accepted (dpsSystem: the platform's). A new one forgets the last
    // accepted text and checks the current text at once.
    TDecPSep DecPlaceSep() const { return FDecPSep; }
    void SetDecPlaceSep(TDecPSep Value) { SetDecPSep(Value); }
    void SetDecPSep(TDecPSep Value);
    // Beep (MessageBeep 0) when input is rejected. Default false.
    bool Beep() const { return FBeep; }
    void SetBeep(bool Value) { FBeep = Value; }

    // The number shown: 0 when the text does not convert. Writing formats the value for the
    // input format (itExp, itDynamic: 12-character scientific; itFloat 8 decimals; itFixPoint
    // FixPointDecPlaces decimals; itInt the value rounded by Round, halves to even; digit
    // formats 8 digits of that rounded value) and shows it without checking; decimal text
    // uses "," when only the comma is accepted.
    double Value() const { return GetLabValue(); }
    void SetValue(double x) { SetLabValue(x); }
    double GetLabValue() const;
    void SetLabValue(double x);

    // Converts Instring by the current format; false when it is not a whole number of it.
    bool ConvertNumString(const std::string& Instring, double& Value) const;
    // Shows Text without checking it; it becomes the last accepted text.
    void SetEditText(const std::string& Text);

  protected:
    void AssignTo(TPersistent* Dest) const override;
    // Puts bounds loaded from a form file in order.
    void Loaded() override;
    // Checks the text after every change (see the file comment) and fires OnChange for
    // accepted user changes.
    void Change() override;

  private:
    void Recheck();
    int SeparatorMode() const;
    char OutputSeparator() const;
    bool Convert(const std::string& Instring, double& Value, int Mode) const;

    TInFormat FInFormat = itDynamic;
    int FFixPDecPl = 2;
    std::string FOldText;
    bool FInternalChg = false;
    bool FBeep = false;
    double FMinimum = 0.0;
    double FMaximum = 0.0;
    TDecPSep FDecPSep = dpsSystem;
};

} // namespace kel
