#!/usr/bin/python3
"""Rewrite PaddleOCR's PP-OCRv4 ONNX models so OpenCV 4.6's DNN module runs them.

    /usr/bin/python3 models/prepare.py SRC_DIR OUT_DIR [--models det,rec,cls]
                                       [--no-fold-convtranspose] [--no-fast-paths]

SRC_DIR holds the files from models/fetch.sh (ch_PP-OCRv4_det_infer.onnx, ...).
OUT_DIR receives ppocr_det.onnx, ppocr_rec.onnx, ppocr_cls.onnx, ppocr_keys.txt.

Needs only onnx (1.12) and numpy. Output is deterministic: same input, same bytes.
"""

import argparse
import os
import shutil
import sys

import numpy as np
import onnx
from onnx import helper, numpy_helper, shape_inference, TensorProto

DET_SRC = "ch_PP-OCRv4_det_infer.onnx"
REC_SRC = "ch_PP-OCRv4_rec_infer.onnx"
CLS_SRC = "ch_ppocr_mobile_v2.0_cls_infer.onnx"
KEYS_SRC = "ppocr_keys_v1.txt"

REC_HEIGHT = 48
# The recognizer is folded at two widths; the Reshape entries that differ
# between the two are the ones that follow the line width.
REC_WIDTHS = (320, 640)
CLS_SHAPE = (1, 3, 48, 192)


# ---------------------------------------------------------------------------
# Small helpers on a ModelProto
# ---------------------------------------------------------------------------

def initializers(model):
    """Name -> numpy array of every initializer."""
    return {t.name: numpy_helper.to_array(t) for t in model.graph.initializer}


def set_initializer(model, name, array):
    """Add or replace one initializer."""
    tensor = numpy_helper.from_array(np.ascontiguousarray(array), name)
    for i, t in enumerate(model.graph.initializer):
        if t.name == name:
            model.graph.initializer[i].CopyFrom(tensor)
            return
    model.graph.initializer.append(tensor)


def replace_nodes(model, nodes):
    del model.graph.node[:]
    model.graph.node.extend(nodes)


def inferred_shapes(model):
    """Name -> list of dims (int, or None when unknown) from ONNX shape inference."""
    inferred = shape_inference.infer_shapes(model)
    shapes = {}
    g = inferred.graph
    for vi in list(g.input) + list(g.value_info) + list(g.output):
        t = vi.type.tensor_type
        if not t.HasField("shape"):
            continue
        shapes[vi.name] = [d.dim_value if d.HasField("dim_value") else None
                           for d in t.shape.dim]
    for name, arr in initializers(model).items():
        shapes[name] = list(arr.shape)
    return shapes


def fully_known(shape):
    return shape is not None and all(d is not None for d in shape)


def remove_dead_nodes(model):
    """Drop nodes and initializers that no graph output depends on."""
    needed = {o.name for o in model.graph.output}
    kept = []
    for node in reversed(model.graph.node):
        if any(o in needed for o in node.output):
            kept.append(node)
            needed.update(i for i in node.input if i)
    replace_nodes(model, list(reversed(kept)))
    inits = [t for t in model.graph.initializer if t.name in needed]
    del model.graph.initializer[:]
    model.graph.initializer.extend(inits)


def attr(node, name, default=None):
    for a in node.attribute:
        if a.name == name:
            return helper.get_attribute_value(a)
    return default


# ---------------------------------------------------------------------------
# Rewrites
# ---------------------------------------------------------------------------

def constants_to_initializers(model):
    """Move Constant nodes into initializers.

    The Paddle export stores every weight in a Constant node; as initializers
    they are easier to fold and to rewrite, and OpenCV reads them the same way.
    """
    nodes = []
    for node in model.graph.node:
        if node.op_type == "Constant":
            set_initializer(model, node.output[0],
                            numpy_helper.to_array(attr(node, "value")))
        else:
            nodes.append(node)
    replace_nodes(model, nodes)


def clip_inputs_to_attributes(model):
    """Clip(x, min, max) with constant inputs -> Clip(x) with min/max attributes.

    OpenCV 4.6 only parses the old one-input Clip; the opset-11 form with
    min and max as inputs is refused.
    """
    inits = initializers(model)
    for node in model.graph.node:
        if node.op_type != "Clip" or len(node.input) == 1:
            continue
        bounds = {}
        for name, value in zip(("min", "max"), node.input[1:]):
            if value:
                if value not in inits:
                    raise RuntimeError(f"Clip {node.name}: {name} is not constant")
                bounds[name] = float(inits[value])
        del node.input[1:]
        for name in ("min", "max"):
            if name in bounds:
                node.attribute.append(helper.make_attribute(name, bounds[name]))
    remove_dead_nodes(model)


def fix_input_shape(model, shape):
    """Give the graph input a fixed shape so the shape sub-graphs can be folded."""
    dims = model.graph.input[0].type.tensor_type.shape.dim
    assert len(dims) == len(shape)
    for d, v in zip(dims, shape):
        d.Clear()
        d.dim_value = v
    # Stale shapes from the exporter would mislead shape inference.
    del model.graph.value_info[:]
    for out in model.graph.output:
        out.type.tensor_type.ClearField("shape")


def _slice(node, ins):
    data = ins[0]
    if len(ins) == 1:                      # opset < 10: attributes
        starts, ends = attr(node, "starts"), attr(node, "ends")
        axes = attr(node, "axes", list(range(len(starts))))
        steps = [1] * len(starts)
    else:
        starts, ends = ins[1].tolist(), ins[2].tolist()
        axes = ins[3].tolist() if len(ins) > 3 else list(range(len(starts)))
        steps = ins[4].tolist() if len(ins) > 4 else [1] * len(starts)
    index = [slice(None)] * data.ndim
    for s, e, a, st in zip(starts, ends, axes, steps):
        index[a] = slice(s, e, st)
    return data[tuple(index)]


def _squeeze(node, ins):
    axes = attr(node, "axes") if len(ins) == 1 else ins[1].tolist()
    return np.squeeze(ins[0], axis=tuple(axes))


def _unsqueeze(node, ins):
    axes = attr(node, "axes") if len(ins) == 1 else ins[1].tolist()
    out = ins[0]
    for a in sorted(a % (out.ndim + len(axes)) for a in axes):
        out = np.expand_dims(out, a)
    return out


def _reshape(node, ins):
    target = [d if d != 0 else ins[0].shape[i] for i, d in enumerate(ins[1].tolist())]
    return ins[0].reshape(target)


# Operators that may be evaluated at preparation time when all inputs are known.
CONSTANT_OPS = {
    "Cast": lambda n, i: i[0].astype(onnx.mapping.TENSOR_TYPE_TO_NP_TYPE[attr(n, "to")]),
    "Slice": _slice,
    "Concat": lambda n, i: np.concatenate(i, axis=attr(n, "axis")),
    "Gather": lambda n, i: np.take(i[0], i[1], axis=attr(n, "axis", 0)),
    "Squeeze": _squeeze,
    "Unsqueeze": _unsqueeze,
    "Reshape": _reshape,
    "Transpose": lambda n, i: np.transpose(i[0], attr(n, "perm")),
    "Identity": lambda n, i: i[0],
    "Add": lambda n, i: i[0] + i[1],
    "Sub": lambda n, i: i[0] - i[1],
    "Mul": lambda n, i: i[0] * i[1],
    "Div": lambda n, i: (i[0] // i[1]) if i[0].dtype.kind in "iu" else i[0] / i[1],
    "Pow": lambda n, i: np.power(i[0], i[1]).astype(i[0].dtype),
    "Sqrt": lambda n, i: np.sqrt(i[0]),
}


def fold_shapes_and_constants(model):
    """Replace Shape of known-shape tensors by constants and evaluate constant nodes.

    OpenCV 4.6 refuses Shape on dynamic dimensions. With the input fixed, each
    round of ONNX shape inference + evaluation makes more shapes known, so the
    rounds repeat until nothing changes.
    """
    rounds = 0
    while True:
        rounds += 1
        shapes = inferred_shapes(model)
        inits = initializers(model)
        changed = False
        nodes = []
        for node in model.graph.node:
            ins = [inits.get(i) for i in node.input if i]
            if node.op_type == "Shape" and fully_known(shapes.get(node.input[0])):
                value = np.array(shapes[node.input[0]], dtype=np.int64)
            elif node.op_type in CONSTANT_OPS and ins and all(x is not None for x in ins):
                value = CONSTANT_OPS[node.op_type](node, ins)
            else:
                nodes.append(node)
                continue
            set_initializer(model, node.output[0], np.asarray(value))
            inits[node.output[0]] = np.asarray(value)
            changed = True
        replace_nodes(model, nodes)
        remove_dead_nodes(model)
        if not changed:
            return rounds


def resolve_reshape(in_shape, target):
    """Output shape of Reshape(in_shape, target) following the ONNX rules."""
    out = [in_shape[i] if d == 0 else d for i, d in enumerate(target)]
    if -1 in out:
        known = int(np.prod([d for d in out if d != -1]))
        out[out.index(-1)] = int(np.prod(in_shape)) // known
    return out


def explicit_reshape_targets(model):
    """Write every Reshape target out in full (no 0 = "copy", no -1).

    The explicit values are compared between two widths afterwards to find the
    entries that follow the width; everything else stays a plain number.
    """
    shapes = inferred_shapes(model)
    inits = initializers(model)
    for node in model.graph.node:
        if node.op_type != "Reshape":
            continue
        if node.input[1] not in inits or not fully_known(shapes.get(node.input[0])):
            raise RuntimeError(f"Reshape {node.name}: target or input shape unknown")
        target = resolve_reshape(shapes[node.input[0]], inits[node.input[1]].tolist())
        name = node.output[0] + "_target"
        set_initializer(model, name, np.array(target, dtype=np.int64))
        node.input[1] = name
    remove_dead_nodes(model)


def squeeze_unsqueeze_to_reshape(model):
    """Squeeze/Unsqueeze -> Reshape to the inferred output shape.

    OpenCV 4.6 handles them poorly on the attention tensors (rank 4-5); a
    Reshape with an explicit target is unambiguous.
    """
    shapes = inferred_shapes(model)
    for node in model.graph.node:
        if node.op_type not in ("Squeeze", "Unsqueeze"):
            continue
        out_shape = shapes.get(node.output[0])
        if not fully_known(out_shape):
            raise RuntimeError(f"{node.op_type} {node.name}: output shape unknown")
        name = node.output[0] + "_target"
        set_initializer(model, name, np.array(out_shape, dtype=np.int64))
        node.op_type = "Reshape"
        del node.input[1:]
        node.input.append(name)
        del node.attribute[:]
    remove_dead_nodes(model)


def layernorm_mul_to_matmul(model):
    """Mul(x[.., T, C], gamma[C]) -> MatMul(x, diag(gamma)).

    OpenCV's Scale layer broadcasts a vector along axis 1 only, so a per-channel
    factor on the last axis of a rank-3 tensor fails; the diagonal MatMul is the
    same product and runs as an InnerProduct.
    """
    shapes = inferred_shapes(model)
    inits = initializers(model)
    count = 0
    for node in model.graph.node:
        if node.op_type != "Mul":
            continue
        consts = [i for i in node.input if i in inits]
        if len(consts) != 1:
            continue
        gamma = inits[consts[0]]
        x = node.input[1] if node.input[0] == consts[0] else node.input[0]
        x_shape = shapes.get(x)
        if gamma.ndim != 1 or gamma.size == 1 or x_shape is None or len(x_shape) != 3 \
                or x_shape[-1] != gamma.size:
            continue
        name = node.output[0] + "_diag"
        set_initializer(model, name, np.diag(gamma).astype(gamma.dtype))
        node.op_type = "MatMul"
        del node.input[:]
        node.input.extend([x, name])
        count += 1
    remove_dead_nodes(model)
    return count


def reducemean_last_axis_to_matmul(model):
    """ReduceMean(x[.., T, C], axes=[-1], keepdims=1) -> MatMul(x, ones(C, 1) / C).

    OpenCV 4.6 bakes the import-time input shape into ReduceMean on a rank-3
    tensor, which breaks other widths; the MatMul follows the width.
    """
    shapes = inferred_shapes(model)
    count = 0
    for node in model.graph.node:
        if node.op_type != "ReduceMean":
            continue
        x_shape = shapes.get(node.input[0])
        axes = attr(node, "axes")
        if x_shape is None or len(x_shape) != 3 or axes is None \
                or [a % 3 for a in axes] != [2] or attr(node, "keepdims", 1) != 1:
            continue
        c = x_shape[-1]
        name = node.output[0] + "_mean"
        set_initializer(model, name, np.full((c, 1), 1.0 / c, dtype=np.float32))
        node.op_type = "MatMul"
        node.input.append(name)
        del node.attribute[:]
        count += 1
    return count


def free_width_dependent_reshapes(model, other):
    """Set Reshape entries that differ between two foldings to -1.

    `model` and `other` are the same graph folded at two input widths. Any
    other difference between them means a width-dependent constant we cannot
    express, so it is an error.
    """
    a, b = initializers(model), initializers(other)
    nodes_a = [(n.op_type, list(n.input), list(n.output)) for n in model.graph.node]
    nodes_b = [(n.op_type, list(n.input), list(n.output)) for n in other.graph.node]
    if nodes_a != nodes_b or a.keys() != b.keys():
        raise RuntimeError("the two foldings differ in structure")
    targets = {n.input[1] for n in model.graph.node if n.op_type == "Reshape"}
    freed = 0
    for name in sorted(a):
        if a[name].shape == b[name].shape and np.array_equal(a[name], b[name]):
            continue
        if name not in targets:
            raise RuntimeError(f"width-dependent constant {name} is not a Reshape target")
        differ = a[name] != b[name]
        if differ.sum() != 1:
            raise RuntimeError(f"Reshape target {name} has several width-dependent entries")
        target = a[name].copy()
        target[differ] = -1
        set_initializer(model, name, target)
        freed += 1
    return freed


def fold_convtranspose_bias_batchnorm(model):
    """Fold the bias Add and BatchNorm that follow a ConvTranspose into its weights.

    OpenCV 4.6 fuses these layers into the ConvTranspose itself each time it
    re-plans the network for a new input shape, and after the first plan the
    fused result is wrong (all-zero or garbage maps). With the bias and the
    normalisation already inside the weights there is nothing left to fuse.
    """
    inits = initializers(model)
    consumers = {}
    for node in model.graph.node:
        for i in node.input:
            consumers.setdefault(i, []).append(node)
    removed = set()
    count = 0
    for node in model.graph.node:
        if node.op_type != "ConvTranspose" or attr(node, "group", 1) != 1:
            continue
        weight = inits[node.input[1]].astype(np.float64)     # [in, out, kh, kw]
        out_ch = weight.shape[1]
        bias = inits[node.input[2]].astype(np.float64) if len(node.input) > 2 \
            else np.zeros(out_ch)
        tail = node
        while len(consumers.get(tail.output[0], [])) == 1:
            nxt = consumers[tail.output[0]][0]
            if nxt.op_type == "Add" and any(i in inits for i in nxt.input):
                const = inits[[i for i in nxt.input if i in inits][0]]
                if const.size not in (1, out_ch):
                    break
                bias = bias + np.broadcast_to(const.reshape(-1), (out_ch,))
            elif nxt.op_type == "BatchNormalization" and all(i in inits for i in nxt.input[1:]):
                scale, beta, mean, var = (inits[i].astype(np.float64) for i in nxt.input[1:5])
                factor = scale / np.sqrt(var + attr(nxt, "epsilon", 1e-5))
                weight = weight * factor[None, :, None, None]
                bias = (bias - mean) * factor + beta
            else:
                break
            removed.add(id(nxt))
            tail = nxt
        if tail is node:
            continue
        w_name, b_name = node.output[0] + "_weight", node.output[0] + "_bias"
        set_initializer(model, w_name, weight.astype(np.float32))
        set_initializer(model, b_name, bias.astype(np.float32))
        del node.input[1:]
        node.input.extend([w_name, b_name])
        # The ConvTranspose now produces what the last folded node produced.
        node.output[0] = tail.output[0]
        count += 1
    replace_nodes(model, [n for n in model.graph.node if id(n) not in removed])
    remove_dead_nodes(model)
    return count


def split_depthwise_5x5(model):
    """Depthwise 5x5 Conv -> four 3x3 depthwise Convs whose outputs are summed.

    OpenCV 4.6 has a vectorised kernel for 3x3 depthwise convolution only; a
    5x5 one runs through its generic loop, several times slower. The 5x5 kernel
    is cut into four 3x3 parts: rows 0-2 and 3-4 (placed in rows 1-2 of a
    3x3, row 0 zero), the same for columns. Each weight lands in exactly one
    part, and asymmetric padding shifts each part back to where it sat in
    the 5x5 window, so the sum of the four outputs is the original output (up
    to the order of the float additions). The bias goes with the first part.
    """
    inits = initializers(model)
    nodes = []
    count = 0
    for node in model.graph.node:
        weight = inits.get(node.input[1]) if node.op_type == "Conv" else None
        if weight is None or weight.ndim != 4 or weight.shape[1:] != (1, 5, 5) \
                or attr(node, "group", 1) != weight.shape[0] \
                or list(attr(node, "pads", [0] * 4)) != [2, 2, 2, 2] \
                or list(attr(node, "dilations", [1, 1])) != [1, 1] \
                or attr(node, "auto_pad", b"NOTSET") not in (b"NOTSET", "NOTSET"):
            nodes.append(node)
            continue
        strides = list(attr(node, "strides", [1, 1]))
        # (rows of the 5x5 kernel, where they go in the 3x3, padding before, after)
        parts = (((0, 3), (0, 3), 2, 0), ((3, 5), (1, 3), 0, 2))
        parts_out = []
        rebuilt = np.zeros_like(weight)
        for rows, row_to, top, bottom in parts:
            for cols, col_to, left, right in parts:
                kernel = np.zeros(weight.shape[:2] + (3, 3), dtype=weight.dtype)
                kernel[:, :, row_to[0]:row_to[1], col_to[0]:col_to[1]] = \
                    weight[:, :, rows[0]:rows[1], cols[0]:cols[1]]
                rebuilt[:, :, rows[0]:rows[1], cols[0]:cols[1]] += \
                    kernel[:, :, row_to[0]:row_to[1], col_to[0]:col_to[1]]
                name = f"{node.output[0]}_3x3_{len(parts_out)}"
                set_initializer(model, name + "_weight", kernel)
                inputs = [node.input[0], name + "_weight"]
                if len(parts_out) == 0 and len(node.input) > 2:
                    inputs.append(node.input[2])
                nodes.append(helper.make_node(
                    "Conv", inputs, [name], name=name, group=weight.shape[0],
                    kernel_shape=[3, 3], strides=strides, dilations=[1, 1],
                    pads=[top, left, bottom, right]))
                parts_out.append(name)
        if not np.array_equal(rebuilt, weight):
            raise RuntimeError(f"Conv {node.name}: the 3x3 parts do not make up the 5x5 kernel")
        nodes.append(helper.make_node("Sum", parts_out, [node.output[0]], name=node.name + "_sum"))
        count += 1
    replace_nodes(model, nodes)
    remove_dead_nodes(model)
    return count


def output_matmul_to_conv(model):
    """The classifier head MatMul -> 1x1 Conv, giving a class-major output.

    The recognizer ends in Reshape [1, C, 1, T] -> [1, C, T], Transpose to
    [1, T, C], MatMul by W [C, K], Add b, Softmax over K. OpenCV runs that
    MatMul as an InnerProduct layer, one vector-matrix product per step; the
    same product as a 1x1 Conv with weights W^T, on the tensor before the
    Reshape, runs as one blocked matrix product, and with the Softmax over the
    channel axis the head takes about half the time. The output becomes
    [1, K, T] (class-major): Softmax over axis 1 of the Conv output [1, K, 1, T],
    then a Reshape dropping the unit axis. Transposing back to [1, T, K] would
    cost most of the gain, so the engine decodes the class-major layout.
    (OpenCV normalises over axis 1 alone, as intended; opset 11 would read
    Softmax(axis=1) as over all the axes from 1 on. Like the Clip rewrite, this
    is written for OpenCV.)
    """
    inits = initializers(model)
    producer = {o: n for n in model.graph.node for o in n.output}
    out = model.graph.output[0].name
    softmax = producer.get(out)
    add = producer.get(softmax.input[0]) if softmax is not None else None
    matmul = producer.get(add.input[0]) if add is not None and add.op_type == "Add" else None
    transpose = producer.get(matmul.input[0]) if matmul is not None and matmul.op_type == "MatMul" else None
    reshape = producer.get(transpose.input[0]) if transpose is not None and transpose.op_type == "Transpose" else None
    if reshape is None or reshape.op_type != "Reshape" or softmax.op_type != "Softmax" \
            or list(attr(transpose, "perm")) != [0, 2, 1] \
            or matmul.input[1] not in inits or add.input[1] not in inits:
        raise RuntimeError("recognizer head is not Reshape-Transpose-MatMul-Add-Softmax")
    if attr(softmax, "axis") not in (-1, 2):
        raise RuntimeError("recognizer Softmax is not over the classes")
    weight, bias = inits[matmul.input[1]], inits[add.input[1]]          # [C, K], [K]
    target = inits[reshape.input[1]].tolist()
    if weight.ndim != 2 or bias.shape != (weight.shape[1],) or len(target) != 3 \
            or target[1] != weight.shape[0]:
        raise RuntimeError("recognizer head has unexpected shapes")
    features = reshape.input[0]                                        # [1, C, 1, T]
    classes = weight.shape[1]
    set_initializer(model, out + "_conv_weight", weight.T.reshape(classes, weight.shape[0], 1, 1))
    set_initializer(model, out + "_conv_bias", bias)
    set_initializer(model, out + "_target", np.array([1, classes, -1], dtype=np.int64))
    head = [
        helper.make_node("Conv", [features, out + "_conv_weight", out + "_conv_bias"],
                         [out + "_logits"], name=out + "_conv", kernel_shape=[1, 1]),
        helper.make_node("Softmax", [out + "_logits"], [out + "_probs"],
                         name=out + "_softmax", axis=1),
        helper.make_node("Reshape", [out + "_probs", out + "_target"], [out],
                         name=out + "_reshape"),
    ]
    dropped = {id(n) for n in (reshape, transpose, matmul, add, softmax)}
    replace_nodes(model, [n for n in model.graph.node if id(n) not in dropped] + head)
    remove_dead_nodes(model)
    return classes


def make_dims_dynamic(model, input_dims, output_dims):
    """Name the free input/output dimensions and drop intermediate shapes."""
    for vi, dims in ((model.graph.input[0], input_dims), (model.graph.output[0], output_dims)):
        shape = vi.type.tensor_type.shape
        shape.Clear()
        for d in dims:
            dim = shape.dim.add()
            if isinstance(d, str):
                dim.dim_param = d
            else:
                dim.dim_value = d
    del model.graph.value_info[:]


# ---------------------------------------------------------------------------
# Per-model recipes
# ---------------------------------------------------------------------------

def log(msg):
    print(f"prepare.py: {msg}", file=sys.stderr)


def prepare_det(path, fold_convtranspose=True):
    model = onnx.load(path)
    constants_to_initializers(model)
    clip_inputs_to_attributes(model)
    if fold_convtranspose:
        log(f"det: folded bias/BatchNorm into {fold_convtranspose_bias_batchnorm(model)} ConvTranspose")
    else:
        log("det: ConvTranspose folding skipped")
    return model


def fold_rec_at_width(path, width):
    model = onnx.load(path)
    constants_to_initializers(model)
    fix_input_shape(model, (1, 3, REC_HEIGHT, width))
    rounds = fold_shapes_and_constants(model)
    explicit_reshape_targets(model)
    squeeze_unsqueeze_to_reshape(model)
    muls = layernorm_mul_to_matmul(model)
    means = reducemean_last_axis_to_matmul(model)
    log(f"rec@{width}: {rounds} folding rounds, {muls} LayerNorm Mul and "
        f"{means} ReduceMean -> MatMul")
    return model


def prepare_rec(path, fast_paths=True):
    model, other = (fold_rec_at_width(path, w) for w in REC_WIDTHS)
    log(f"rec: {free_width_dependent_reshapes(model, other)} Reshape targets follow the width")
    clip_inputs_to_attributes(model)
    output_dims = [1, "steps", "classes"]
    if fast_paths:
        log(f"rec: {split_depthwise_5x5(model)} depthwise 5x5 Conv -> four 3x3")
        log(f"rec: head MatMul -> 1x1 Conv over {output_matmul_to_conv(model)} classes, "
            "output [1, classes, steps]")
        output_dims = [1, "classes", "steps"]
    else:
        log("rec: fast-path rewrites skipped")
    # OpenCV computes its import-time shapes from the declared input, and an
    # unnamed width breaks them; declare the first folding width. Any other
    # width runs as well because the Reshape targets follow it.
    make_dims_dynamic(model, [1, 3, REC_HEIGHT, REC_WIDTHS[0]], output_dims)
    return model


def prepare_cls(path):
    model = onnx.load(path)
    constants_to_initializers(model)
    fix_input_shape(model, CLS_SHAPE)
    rounds = fold_shapes_and_constants(model)
    explicit_reshape_targets(model)
    clip_inputs_to_attributes(model)
    make_dims_dynamic(model, list(CLS_SHAPE), [1, 2])
    log(f"cls: {rounds} folding rounds")
    return model


def check_no_shape_ops(model, what):
    left = sorted({n.op_type for n in model.graph.node} & {"Shape", "Squeeze", "Unsqueeze"})
    if left:
        raise RuntimeError(f"{what}: still has {left}")


def save(model, path):
    tmp = path + ".tmp"
    onnx.save(model, tmp)
    os.replace(tmp, path)
    log(f"wrote {path} ({len(model.graph.node)} nodes)")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("src_dir")
    parser.add_argument("out_dir")
    parser.add_argument("--models", default="det,rec,cls",
                        help="comma-separated subset of det,rec,cls (default: all)")
    parser.add_argument("--no-fold-convtranspose", action="store_true",
                        help="keep the detector's ConvTranspose bias/BatchNorm separate "
                             "(only to show why the folding is needed)")
    parser.add_argument("--no-fast-paths", action="store_true",
                        help="keep the recognizer's 5x5 depthwise convolutions and MatMul head, "
                             "output [1, steps, classes] (the model check compares the "
                             "rewritten recognizer with this one)")
    args = parser.parse_args()
    wanted = set(args.models.split(","))
    if not wanted <= {"det", "rec", "cls"}:
        parser.error("--models takes det, rec, cls")

    os.makedirs(args.out_dir, exist_ok=True)
    src = lambda name: os.path.join(args.src_dir, name)
    out = lambda name: os.path.join(args.out_dir, name)

    if "det" in wanted:
        save(prepare_det(src(DET_SRC), not args.no_fold_convtranspose), out("ppocr_det.onnx"))
    if "rec" in wanted:
        model = prepare_rec(src(REC_SRC), not args.no_fast_paths)
        check_no_shape_ops(model, "rec")
        save(model, out("ppocr_rec.onnx"))
        shutil.copyfile(src(KEYS_SRC), out("ppocr_keys.txt"))
    if "cls" in wanted:
        model = prepare_cls(src(CLS_SRC))
        check_no_shape_ops(model, "cls")
        save(model, out("ppocr_cls.onnx"))


if __name__ == "__main__":
    main()
