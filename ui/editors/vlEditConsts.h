// vlEditConsts.h - the editors' texts: those of the regular-expression
// masks and their errors.
#pragma once
#include "platform/rtl/ResString.h"

namespace vlEditConsts {
VORLANE_RESOURCESTRING(svlRegExprLine, "Line");
VORLANE_RESOURCESTRING(svlRegExprChar, "Char");
VORLANE_RESOURCESTRING(svlRegExprNotAssignedSourceStream, "The source stream is not assigned");
VORLANE_RESOURCESTRING(svlRegExprEmptySourceStream, "The source stream is empty");
VORLANE_RESOURCESTRING(svlRegExprCantUsePlusQuantifier, "The '+' quantifier cannot be applied here");
VORLANE_RESOURCESTRING(svlRegExprCantUseStarQuantifier, "The '*' quantifier cannot be applied here");
VORLANE_RESOURCESTRING(svlRegExprCantCreateEmptyAlt, "The alternative should not be empty");
VORLANE_RESOURCESTRING(svlRegExprCantCreateEmptyBlock, "The block should not be empty");
VORLANE_RESOURCESTRING(svlRegExprIllegalSymbol, "Illegal '%s'");
VORLANE_RESOURCESTRING(svlRegExprIllegalQuantifier, "Illegal quantifier '%s'");
VORLANE_RESOURCESTRING(svlRegExprNotSupportQuantifier, "The parameter quantifiers are not supported");
VORLANE_RESOURCESTRING(svlRegExprIllegalIntegerValue, "Illegal integer value");
VORLANE_RESOURCESTRING(svlRegExprTooBigReferenceNumber, "Too big reference number");
VORLANE_RESOURCESTRING(svlRegExprCantCreateEmptyEnum, "Can't create empty enumeration");
VORLANE_RESOURCESTRING(svlRegExprSubrangeOrder, "The starting character of the subrange must be less than the finishing one");
VORLANE_RESOURCESTRING(svlRegExprHexNumberExpected0, "Hexadecimal number expected");
VORLANE_RESOURCESTRING(svlRegExprHexNumberExpected, "Hexadecimal number expected but '%s' found");
VORLANE_RESOURCESTRING(svlRegExprMissing, "Missing '%s'");
VORLANE_RESOURCESTRING(svlRegExprUnnecessary, "Unnecessary '%s'");
VORLANE_RESOURCESTRING(svlRegExprIncorrectSpace, "The space character is not allowed after '\\'");
VORLANE_RESOURCESTRING(svlRegExprNotCompiled, "Regular expression is not compiled");
VORLANE_RESOURCESTRING(svlRegExprIncorrectParameterQuantifier, "Incorrect parameter quantifier");
VORLANE_RESOURCESTRING(svlRegExprCantUseParameterQuantifier, "The parameter quantifier cannot be applied here");
VORLANE_RESOURCESTRING(svlMaskEditRegExprError, "Regular expression errors:");
}  // namespace vlEditConsts
