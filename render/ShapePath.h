#pragma once
// The AGG side of shapes: conversion to a path storage, and the bounds of a
// path seen through a transform.

#include "render/CShape2D.h"

#include <agg_path_storage.h>
#include <agg_trans_affine.h>

// Appends the shape's commands to path: moves and lines as vertices, curves
// flattened by recursive subdivision at approximation scale 1.0 and joined
// to the current contour. Commands whose points are missing end the walk.
void AppendShapePath(agg::path_storage& path, const Ombrisalt::CShape2D& shape);

// Floor of the least and ceiling of the greatest transformed vertex
// coordinates (each rounded to single precision); false (out untouched)
// for an empty path or one with a coordinate that is not finite.
bool GetPathBounds(agg::path_storage& path, agg::trans_affine transform, CRect& out);
