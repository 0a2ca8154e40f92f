//! Converts a file from an encoding to UTF-8, or from UTF-8 to an encoding,
//! with encoding_rs, timed beside tavelo-convert by compare_converters.py.
//!
//! usage: encoding_rs_peer decode|encode LABEL INPUT OUTPUT [--whole]
//!   LABEL is a WHATWG label (gbk, gb18030, big5, ...). By default the text
//!   goes through the streaming Decoder or Encoder in 128 KB output buffers;
//!   --whole converts the whole buffer in one call instead.

use encoding_rs::{CoderResult, Encoding};
use std::fs::{self, File};
use std::io::{self, Write};
use std::process;

const BUFFER_SIZE: usize = 128 * 1024;

fn decode_streaming(encoding: &'static Encoding, input: &[u8], output: &mut File) -> io::Result<()> {
    let mut decoder = encoding.new_decoder_without_bom_handling();
    let mut buffer = vec![0u8; BUFFER_SIZE];
    let mut rest = input;
    loop {
        let (result, read, written, _) = decoder.decode_to_utf8(rest, &mut buffer, true);
        output.write_all(&buffer[..written])?;
        rest = &rest[read..];
        if let CoderResult::InputEmpty = result {
            return Ok(());
        }
    }
}

fn encode_streaming(encoding: &'static Encoding, text: &str, output: &mut File) -> io::Result<()> {
    let mut encoder = encoding.new_encoder();
    let mut buffer = vec![0u8; BUFFER_SIZE];
    let mut rest = text;
    loop {
        let (result, read, written, _) = encoder.encode_from_utf8(rest, &mut buffer, true);
        output.write_all(&buffer[..written])?;
        rest = &rest[read..];
        if let CoderResult::InputEmpty = result {
            return Ok(());
        }
    }
}

fn run(args: &[String]) -> io::Result<()> {
    let encoding = Encoding::for_label(args[2].as_bytes()).ok_or_else(|| {
        io::Error::new(io::ErrorKind::InvalidInput, format!("unknown encoding {}", args[2]))
    })?;
    let whole = args.get(5).map_or(false, |a| a == "--whole");
    let input = fs::read(&args[3])?;
    let mut output = File::create(&args[4])?;
    match args[1].as_str() {
        "decode" if whole => {
            let (text, _) = encoding.decode_without_bom_handling(&input);
            output.write_all(text.as_bytes())
        }
        "decode" => decode_streaming(encoding, &input, &mut output),
        "encode" => {
            let text = String::from_utf8_lossy(&input);
            if whole {
                let (bytes, _, _) = encoding.encode(&text);
                output.write_all(&bytes)
            } else {
                encode_streaming(encoding, &text, &mut output)
            }
        }
        other => Err(io::Error::new(io::ErrorKind::InvalidInput, format!("unknown job {other}"))),
    }
}

fn main() {
    let args: Vec<String> = std::env::args().collect();
    if args.len() < 5 {
        eprintln!("usage: encoding_rs_peer decode|encode LABEL INPUT OUTPUT [--whole]");
        process::exit(2);
    }
    if let Err(error) = run(&args) {
        eprintln!("encoding_rs_peer: {error}");
        process::exit(1);
    }
}
