#include "tools/UserChange.h"

void ApplyUserChange(TUserRec& Rec, const TUserChange& Change) {
    if (Change.Name)
        Rec.Name.Assign(*Change.Name);
    if (Change.UserName)
        Rec.UserName.Assign(*Change.UserName);
    if (Change.NetUserName)
        Rec.NetUserName.Assign(*Change.NetUserName);
    Rec.Rights = Change.Rights.Apply(Rec.Rights);
    Rec.Objects = Change.Objects.Apply(Rec.Objects);
}
