// The geometry kernel's own store: models and their entities, reached
// through integer handles.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/zuzovoza/zuzovoza.h"

namespace zuz {

using Vec3 = std::array<double, 3>;

struct Object {
    int handle = 0;
    int model = 0;
    std::string name;
    std::string full_name;  // "<kind> <name>"
    int type = 0, cls = 0, subclass = 0;
    std::vector<double> reals;
    std::vector<int> bound;    // per real: the variable it follows (0 none), sign in bound_sign
    std::vector<int> bound_sign;
    std::vector<bool> length;  // per real: a length (scaled by unit conversion)
    std::vector<int> members;  // entity list: member handles
    // surface attributes
    int color = 0, orient = 0;
    int layer = 0;  // index into the model's layers + 1, 0 none
    bool visible = true, trimmed = false, nomesh = false;
    int divu = 1, divv = 1, paneu = 1, panev = 1;
    int ku = 0, kv = 0, nu = 0, nv = 0;  // B-spline orders and control-point counts
    int error = 0;       // error state set in the model (0 none)
    int geom_error = 0;  // error state found when validating
    bool valid = false;  // bound values resolved and geometry checked
};

struct Layer {
    std::string name;
    bool on = true;
};

// Largest multiplier of a surface's divisions (model files and
// rg_SetModelDivMult).
inline constexpr int MAXDIVMULT = 10;

struct Model {
    int handle = 0;
    int units = 0;
    int divmult = 1;
    int evaltable = 0;
    int xsym = 0, ysym = 0, axis = 0, fold = 1;
    std::vector<Layer> layers;
    std::vector<int> objects;  // handles in model order
};

// The store; handles index it from 1.
Object* object(int h);
Model* model(int h);
int add_object(std::unique_ptr<Object> o);
int add_model(std::unique_ptr<Model> m);
void remove_model(int h);

// Length of one model unit in metres (0 when the code has no length).
double unit_metres(int code);

// Surface geometry on [0, 1]^2 (the object must be valid).
bool surface_eval(const Object& s, double u, double v, Vec3& X, Vec3& Xu, Vec3& Xv);
// Resolves bound values and checks the geometry; false when in error.
bool validate(Object& s);

}  // namespace zuz
