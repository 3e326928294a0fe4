// Root classes of the object model and the framework's exception classes.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace kel {

// Base of every framework exception; what() is the message text.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& msg) : std::runtime_error(msg) {}
};

class EConvertError : public Exception { using Exception::Exception; };       // bad conversion
class EInvalidGraphic : public Exception { using Exception::Exception; };     // unreadable image
class EResNotFound : public Exception { using Exception::Exception; };        // missing resource
class EInvalidOperation : public Exception { using Exception::Exception; };   // wrong state
class EOutOfResources : public Exception { using Exception::Exception; };     // e.g. no timer
class EFOpenError : public Exception { using Exception::Exception; };         // file cannot open
class EReadError : public Exception { using Exception::Exception; };          // stream read
class EWriteError : public Exception { using Exception::Exception; };         // stream write
class EComponentError : public Exception { using Exception::Exception; };     // names, owners
class EListError : public Exception { using Exception::Exception; };          // list index
class EInvalidArgument : public Exception { using Exception::Exception; };    // bad argument

class TObject {
public:
    virtual ~TObject() = default;
    // The class's name as written ("TFont"); every class that can be named overrides it.
    virtual std::string ClassName() const { return "TObject"; }
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
public:
    std::string ClassName() const override { return "TPersistent"; }
    // Copies Source into this object. The base calls Source->AssignTo(this).
    virtual void Assign(const TPersistent* Source);

protected:
    // Copies this object into Dest. The base raises EConvertError
    // "Cannot assign a <Source class> to a <Dest class>".
    virtual void AssignTo(TPersistent* Dest) const;
};

} // namespace kel
